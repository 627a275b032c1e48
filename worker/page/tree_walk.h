// A walk over a parsed page in document order, without recursion: hostile
// pages nest deeply enough to overflow the stack of a recursive walk.
#pragma once

#include <gumbo.h>

#include <vector>

namespace pitrel {

inline bool IsElementNode(const GumboNode* node) {
  return node != nullptr && (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE);
}

inline const GumboVector& ChildrenOf(const GumboNode& node) {
  return node.type == GUMBO_NODE_DOCUMENT ? node.v.document.children : node.v.element.children;
}

// Visits the nodes below root. For every element, visitor.Enter(element)
// says whether to go into its children; visitor.Leave(element) follows them
// (only for elements entered). Every other node goes to
// visitor.Other(node, parent, index of node among parent's children).
template <class Visitor>
void WalkTree(const GumboNode& root, Visitor& visitor) {
  struct Frame {
    const GumboNode* node;
    unsigned next;
  };
  std::vector<Frame> stack{{&root, 0}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const GumboVector& children = ChildrenOf(*frame.node);
    if (frame.next >= children.length) {
      if (frame.node != &root) visitor.Leave(*frame.node);
      stack.pop_back();
      continue;
    }
    const unsigned index = frame.next++;
    const auto* child = static_cast<const GumboNode*>(children.data[index]);
    if (!IsElementNode(child)) {
      visitor.Other(*child, *frame.node, index);
    } else if (visitor.Enter(*child)) {
      stack.push_back({child, 0});  // invalidates frame: nothing uses it after this
    }
  }
}

}  // namespace pitrel

#include "worker/browser/html_serializer.h"

#include <cstring>
#include <vector>

#include "worker/browser/element_kinds.h"
#include "worker/browser/tree_walk.h"
#include "worker/browser/url_resolve.h"

namespace pitrel {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool BreaksLine(const GumboNode* node) {
  return IsElementNode(node) && (IsBlockElement(node->v.element.tag) || IsTableElement(node->v.element.tag));
}

bool IsWhitespaceOnly(std::string_view text) {
  for (char c : text)
    if (!IsAsciiSpace(c)) return false;
  return true;
}

// Plain values (letters, digits, '-', '_') stand unquoted, as the old browser wrote them.
bool NeedsQuotes(std::string_view value) {
  if (value.empty()) return true;
  for (char c : value) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_';
    if (!plain) return true;
  }
  return false;
}

class MarkupWriter {
 public:
  explicit MarkupWriter(std::string_view page_url) : links_(page_url) {}

  void Write(const GumboNode& body) { WalkTree(body, *this); }

  // The tree walk's visitor.
  bool Enter(const GumboNode& element) {
    StartTag(element);
    return !IsVoidElement(element.v.element.tag);
  }
  void Leave(const GumboNode& element) { EndTag(element); }
  void Other(const GumboNode& node, const GumboNode& parent, unsigned index) {
    if (node.type == GUMBO_NODE_COMMENT)
      out_.append("<!--").append(node.v.text.text).append("-->");
    else
      Text(node, parent, ChildrenOf(parent), index);
  }

  std::string Take() { return std::move(out_); }

 private:
  void StartTag(const GumboNode& node) {
    const GumboElement& element = node.v.element;
    if (IsBlockElement(element.tag) || IsTableElement(element.tag)) out_.append(kCrLf);
    if (IsPreformattedElement(element.tag)) ++preformatted_depth_;
    // A TBODY the parser supplied is written too: the old browser's tree had it as well.
    out_.push_back('<');
    AppendUpperTagName(out_, element);
    for (unsigned i = 0; i < element.attributes.length; ++i)
      Attribute(*static_cast<const GumboAttribute*>(element.attributes.data[i]));
    out_.push_back('>');
  }

  void EndTag(const GumboNode& node) {
    const GumboElement& element = node.v.element;
    if (IsPreformattedElement(element.tag)) --preformatted_depth_;
    out_.append("</");
    AppendUpperTagName(out_, element);
    out_.push_back('>');
  }

  void Attribute(const GumboAttribute& attribute) {
    out_.push_back(' ');
    out_.append(attribute.name).push_back('=');
    std::string resolved;
    std::string_view value = attribute.value;
    if (std::strcmp(attribute.name, "href") == 0 || std::strcmp(attribute.name, "src") == 0) {
      resolved = links_.Resolve(value);
      value = resolved;
    }
    if (!NeedsQuotes(value)) {
      out_.append(value);
      return;
    }
    out_.push_back('"');
    for (char c : value) {
      if (c == '&') out_.append("&amp;");
      else if (c == '"') out_.append("&quot;");
      else out_.push_back(c);
    }
    out_.push_back('"');
  }

  void Text(const GumboNode& node, const GumboNode& parent, const GumboVector& siblings, unsigned index) {
    const std::string_view text = node.v.text.text;
    if (IsElementNode(&parent) && IsRawTextElement(parent.v.element.tag)) {
      out_.append(text);
      return;
    }
    const bool keep_spaces = preformatted_depth_ > 0;
    if (!keep_spaces && IsWhitespaceOnly(text) && StandsBetweenBlocks(parent, siblings, index)) return;
    bool in_space_run = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (!keep_spaces && IsAsciiSpace(c)) {
        if (!in_space_run) out_.push_back(' ');
        in_space_run = true;
        continue;
      }
      in_space_run = false;
      switch (c) {
        case '&': out_.append("&amp;"); break;
        case '<': out_.append("&lt;"); break;
        case '>': out_.append("&gt;"); break;
        case '\xC2':
          if (i + 1 < text.size() && text[i + 1] == '\xA0') {
            out_.append("&nbsp;");
            ++i;
            break;
          }
          [[fallthrough]];
        default: out_.push_back(c);
      }
    }
  }

  // Whitespace between two blocks (or a block and its parent block's edge) is
  // not content: the old browser did not keep it.
  static bool StandsBetweenBlocks(const GumboNode& parent, const GumboVector& siblings, unsigned index) {
    const bool parent_is_block = BreaksLine(&parent) || (IsElementNode(&parent) && parent.v.element.tag == GUMBO_TAG_BODY);
    const auto* before = index > 0 ? static_cast<const GumboNode*>(siblings.data[index - 1]) : nullptr;
    const auto* after = index + 1 < siblings.length ? static_cast<const GumboNode*>(siblings.data[index + 1]) : nullptr;
    const bool before_ok = before ? BreaksLine(before) : parent_is_block;
    const bool after_ok = after ? BreaksLine(after) : parent_is_block;
    return before_ok && after_ok;
  }

  UrlResolver links_;
  std::string out_;
  int preformatted_depth_ = 0;
};

}  // namespace

std::string SerializeBodyHtml(const GumboNode* body, std::string_view page_url) {
  if (body == nullptr) return {};
  MarkupWriter writer(page_url);
  writer.Write(*body);
  return writer.Take();
}

}  // namespace pitrel

#include "worker/page/inner_text.h"

#include <strings.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "worker/page/element_kinds.h"
#include "worker/page/html_document.h"
#include "worker/page/quick_parse.h"
#include "worker/page/tree_walk.h"

namespace pitrel {
namespace {

bool IsCssSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Line breaks an element asks for before and after its text (0: inline).
int RequiredBreaks(GumboTag tag) {
  if (tag == GUMBO_TAG_P) return 2;
  // A list box shows each of its choices on a line of its own.
  if (IsBlockElement(tag) || tag == GUMBO_TAG_CAPTION || tag == GUMBO_TAG_SELECT || tag == GUMBO_TAG_OPTION ||
      tag == GUMBO_TAG_OPTGROUP)
    return 1;
  return 0;
}

bool IsAtomicInline(const GumboNode& node) {
  switch (node.v.element.tag) {
    case GUMBO_TAG_IMG: case GUMBO_TAG_IFRAME: case GUMBO_TAG_OBJECT: case GUMBO_TAG_EMBED:
    case GUMBO_TAG_TEXTAREA: case GUMBO_TAG_VIDEO: case GUMBO_TAG_AUDIO: case GUMBO_TAG_CANVAS:
      return true;
    case GUMBO_TAG_INPUT: {
      const GumboAttribute* type = gumbo_get_attribute(&node.v.element.attributes, "type");
      return type == nullptr || strcasecmp(type->value, "hidden") != 0;
    }
    default:
      return false;
  }
}

// Builds the text line by line. Whitespace collapses to one space between
// words and disappears at line starts and ends; required line breaks merge
// into the largest of a run and vanish at the very start and end.
class TextBuilder {
 public:
  void Reserve(std::size_t bytes) { out_.reserve(bytes); }
  void Text(std::string_view text, bool preformatted) {
    for (char c : text) {
      if (preformatted) {
        if (c == '\r') continue;  // the parser already turned CR LF into LF
        if (c == '\n') {
          Newline();
        } else {
          Emit(c);
        }
      } else if (IsCssSpace(c)) {
        if (!line_start_ && !after_fixed_space_) pending_space_ = true;
      } else {
        if (pending_space_) Emit(' ');
        Emit(c);
      }
    }
  }

  void Newline() {  // a <br> or a line feed kept by <pre>: content, not merged
    FlushBreaks();
    out_.append("\r\n");
    line_start_ = true;
    pending_space_ = false;
    after_fixed_space_ = false;
  }

  void FixedSpace() {  // after a table cell: always exactly one
    FlushBreaks();
    pending_space_ = false;
    out_.push_back(' ');
    after_fixed_space_ = true;
    line_start_ = false;
  }

  // An image or a form control: no text of its own, but it stands between
  // the spaces on either side, so they do not collapse into one.
  void AtomicInline() {
    if (pending_space_) Emit(' ');
    line_start_ = false;
    after_fixed_space_ = false;
  }

  void RequireBreaks(int count) {
    pending_breaks_ = std::max(pending_breaks_, count);
    pending_space_ = false;
    line_start_ = true;
  }

  std::string Take() { return std::move(out_); }

 private:
  void Emit(char c) {
    FlushBreaks();
    out_.push_back(c);
    pending_space_ = false;
    line_start_ = false;
    after_fixed_space_ = false;
  }

  void FlushBreaks() {
    if (pending_breaks_ > 0 && !out_.empty())
      for (int i = 0; i < pending_breaks_; ++i) out_.append("\r\n");
    pending_breaks_ = 0;
  }

  std::string out_;
  int pending_breaks_ = 0;
  bool pending_space_ = false;
  bool line_start_ = true;
  bool after_fixed_space_ = false;
};

class InnerTextWalker final : public BodyVisitor {
 public:
  explicit InnerTextWalker(std::size_t expected_size = 0) { builder_.Reserve(expected_size); }
  std::string Walk(const GumboNode& body) {
    WalkTree(body, *this);
    return builder_.Take();
  }
  std::string Take() { return builder_.Take(); }

  // The tree walk's visitor.
  bool Enter(const GumboNode& element) override {
    if (IsAtomicInline(element)) builder_.AtomicInline();
    if (IsHiddenElement(element)) return false;
    Open(element);
    return true;
  }
  void Leave(const GumboNode& element) override { Close(element); }
  void Other(const GumboNode& node, const GumboNode&, unsigned) override {
    if (node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_WHITESPACE ||
        node.type == GUMBO_NODE_CDATA)
      builder_.Text(node.v.text.text, preformatted_depth_ > 0);
  }

 private:
  void Open(const GumboNode& node) {
    const GumboTag tag = node.v.element.tag;
    if (tag == GUMBO_TAG_BR) builder_.Newline();
    if (const int breaks = RequiredBreaks(tag)) builder_.RequireBreaks(breaks);
    if (IsPreformattedElement(tag)) ++preformatted_depth_;
  }

  void Close(const GumboNode& node) {
    const GumboTag tag = node.v.element.tag;
    if (IsPreformattedElement(tag)) --preformatted_depth_;
    if (tag == GUMBO_TAG_TD || tag == GUMBO_TAG_TH) builder_.FixedSpace();
    if (tag == GUMBO_TAG_TR) builder_.RequireBreaks(1);
    if (const int breaks = RequiredBreaks(tag)) builder_.RequireBreaks(breaks);
  }

  TextBuilder builder_;
  int preformatted_depth_ = 0;
};

}  // namespace

std::string BodyInnerText(const GumboNode* body) {
  if (body == nullptr) return {};
  return InnerTextWalker().Walk(*body);
}

std::string PageInnerText(const HtmlDocument& document) {
  // The text is seldom longer than the page: room for it at once spares the
  // doublings that would hold a long text three times over for a moment.
  const std::size_t room = document.Text().size();
  if (!document.HasTree()) {
    InnerTextWalker walker(room);
    if (QuickWalkBody(document.Text(), walker)) return walker.Take();
  }
  const GumboNode* body = document.Body();
  return body ? InnerTextWalker(room).Walk(*body) : std::string();
}

}  // namespace pitrel

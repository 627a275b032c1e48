#include "worker/page/html_serializer.h"

#include <cstring>
#include <vector>

#include "worker/page/element_kinds.h"
#include "worker/page/html_document.h"
#include "worker/page/quick_parse.h"
#include "worker/page/tree_walk.h"
#include "worker/page/url_resolve.h"

namespace pitrel {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool BreaksLine(const GumboNode* node) {
  return IsElementNode(node) && (IsBlockElement(node->v.element.tag) || IsTableElement(node->v.element.tag));
}

// What a line of the page starts after: a block's edge or a <BR>.
bool StartsLineAfter(const GumboNode* node) {
  return BreaksLine(node) || (IsElementNode(node) && node->v.element.tag == GUMBO_TAG_BR);
}

std::string_view WithoutLeadingSpace(std::string_view text) {
  while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
  return text;
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

// The writing itself, shared by the walk over a tree and the walk told
// straight from the mark-up.
class MarkupOut {
 public:
  MarkupOut(std::string_view page_url, std::size_t expected_size) : links_(page_url) {
    out_.reserve(expected_size);
  }
  std::string Take() { return std::move(out_); }

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

  void Comment(const GumboNode& node) { out_.append("<!--").append(node.v.text.text).append("-->"); }

  static bool InRawText(const GumboNode& parent) {
    return IsElementNode(&parent) && IsRawTextElement(parent.v.element.tag);
  }
  bool KeepsSpaces() const { return preformatted_depth_ > 0; }
  void Raw(std::string_view text) { out_.append(text); }

  // Text with its white space collapsed (unless preformatted) and escaped.
  // The old browser dropped the white space that starts a line, and wrote
  // every line break as CR LF.
  void Text(std::string_view text, bool starts_line) {
    const bool keep_spaces = KeepsSpaces();
    if (!keep_spaces && starts_line) text = WithoutLeadingSpace(text);
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
        case '\n': out_.append(kCrLf); break;
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

 private:
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

  UrlResolver links_;
  std::string out_;
  int preformatted_depth_ = 0;
};

bool IsBlockParent(const GumboNode& parent) {
  return BreaksLine(&parent) || (IsElementNode(&parent) && parent.v.element.tag == GUMBO_TAG_BODY);
}

// The walk over a tree.
class MarkupWriter {
 public:
  MarkupWriter(std::string_view page_url, std::size_t expected_size)
      : out_(page_url, expected_size) {}

  void Write(const GumboNode& body) { WalkTree(body, *this); }
  std::string Take() { return out_.Take(); }

  // The tree walk's visitor.
  bool Enter(const GumboNode& element) {
    out_.StartTag(element);
    return !IsVoidElement(element.v.element.tag);
  }
  void Leave(const GumboNode& element) { out_.EndTag(element); }
  void Other(const GumboNode& node, const GumboNode& parent, unsigned index) {
    if (node.type == GUMBO_NODE_COMMENT) return out_.Comment(node);
    const std::string_view text = node.v.text.text;
    if (MarkupOut::InRawText(parent)) return out_.Raw(text);
    const GumboVector& siblings = ChildrenOf(parent);
    const auto* before = index > 0 ? static_cast<const GumboNode*>(siblings.data[index - 1]) : nullptr;
    out_.Text(text, before ? StartsLineAfter(before) : IsBlockParent(parent));
  }

 private:
  MarkupOut out_;
};

// The same writing for a walk told straight from the mark-up, which knows
// no siblings: each level remembers what its last child was.
class StreamedMarkupWriter final : public BodyVisitor {
 public:
  StreamedMarkupWriter(std::string_view page_url, std::size_t expected_size)
      : out_(page_url, expected_size) {
    levels_.push_back({true});
  }

  std::string Take() { return out_.Take(); }

  bool Enter(const GumboNode& element) override {
    out_.StartTag(element);
    Told(StartsLineAfter(&element));
    if (IsVoidElement(element.v.element.tag)) return false;
    levels_.push_back({IsBlockParent(element)});
    return true;
  }

  void Leave(const GumboNode& element) override {
    levels_.pop_back();
    out_.EndTag(element);
  }

  void Other(const GumboNode& node, const GumboNode& parent, unsigned) override {
    if (node.type == GUMBO_NODE_COMMENT) {
      out_.Comment(node);
    } else if (MarkupOut::InRawText(parent)) {
      out_.Raw(node.v.text.text);
    } else {
      const Level& level = levels_.back();
      out_.Text(node.v.text.text, level.told ? level.last_starts_line : level.block);
    }
    Told(false);
  }

 private:
  struct Level {
    bool block;                     // the parent breaks lines (or is the body)
    bool told = false;              // a child was told
    bool last_starts_line = false;  // a line starts after the last child told
  };

  void Told(bool starts_line) {
    levels_.back().told = true;
    levels_.back().last_starts_line = starts_line;
  }

  MarkupOut out_;
  std::vector<Level> levels_;
};

// The address links are resolved against: the page's own, or the one a
// <BASE href> in the page's head gives (itself resolved against the page's).
const GumboAttribute* BaseHref(const GumboNode& html) {
  const GumboVector& sections = ChildrenOf(html);
  for (unsigned i = 0; i < sections.length; ++i) {
    const auto* head = static_cast<const GumboNode*>(sections.data[i]);
    if (!IsElementNode(head) || head->v.element.tag != GUMBO_TAG_HEAD) continue;
    const GumboVector& children = ChildrenOf(*head);
    for (unsigned k = 0; k < children.length; ++k) {
      const auto* child = static_cast<const GumboNode*>(children.data[k]);
      if (!IsElementNode(child) || child->v.element.tag != GUMBO_TAG_BASE) continue;
      if (const GumboAttribute* href = gumbo_get_attribute(&child->v.element.attributes, "href"))
        return href;
    }
  }
  return nullptr;
}

std::string LinkBase(const GumboNode& body, std::string_view page_url) {
  const GumboNode* html = body.parent;
  const GumboAttribute* href = html && IsElementNode(html) ? BaseHref(*html) : nullptr;
  if (!href) return std::string(page_url);
  std::string resolved = ResolveUrl(page_url, href->value);
  const bool usable = resolved.rfind("http://", 0) == 0 || resolved.rfind("https://", 0) == 0 ||
                      resolved.rfind("file://", 0) == 0;
  return usable ? resolved : std::string(page_url);
}

std::string Serialize(const GumboNode* body, std::string_view page_url, std::size_t expected_size) {
  if (body == nullptr) return {};
  MarkupWriter writer(LinkBase(*body, page_url), expected_size);
  writer.Write(*body);
  return writer.Take();
}

}  // namespace

std::string SerializeBodyHtml(const GumboNode* body, std::string_view page_url) {
  return Serialize(body, page_url, 0);
}

std::string PageBodyHtml(const HtmlDocument& document, std::string_view page_url) {
  // The mark-up comes out about as long as the page: room for it at once
  // spares the doublings that would hold it three times over for a moment.
  const std::size_t room = document.Text().size();
  if (!document.HasTree()) {
    StreamedMarkupWriter writer(page_url, room);
    if (QuickWalkBody(document.Text(), writer)) return writer.Take();
  }
  return Serialize(document.Body(), page_url, room);
}

}  // namespace pitrel

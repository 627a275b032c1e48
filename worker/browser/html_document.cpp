#include "worker/browser/html_document.h"

#include <algorithm>
#include <cctype>

namespace pitrel {
namespace {

const GumboNode* ChildElement(const GumboNode* parent, GumboTag tag) {
  if (parent == nullptr) return nullptr;
  const GumboVector& children = parent->type == GUMBO_NODE_DOCUMENT ? parent->v.document.children
                                                                    : parent->v.element.children;
  for (unsigned i = 0; i < children.length; ++i) {
    const auto* child = static_cast<const GumboNode*>(children.data[i]);
    if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == tag) return child;
  }
  return nullptr;
}

bool IsTagNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsVoidName(std::string_view name) {
  static constexpr std::string_view kVoid[] = {"area", "base", "br", "col", "embed", "hr", "img",
                                               "input", "link", "meta", "param", "source", "track", "wbr"};
  for (std::string_view v : kVoid)
    if (name.size() == v.size() && std::equal(v.begin(), v.end(), name.begin(), [](char a, char b) {
          return a == (b >= 'A' && b <= 'Z' ? char(b - 'A' + 'a') : b);
        }))
      return true;
  return false;
}

// Where the page would have kMaxOpenTags elements open at once, or npos.
// The parser's cost grows with the square of the nesting depth, so a page
// nesting thousands deep would keep a worker busy for hours; no real page
// comes near this many, so what follows that point is dropped.
std::size_t NestingCutPoint(std::string_view text) {
  constexpr int kMaxOpenTags = 20'000;
  int open = 0;
  for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    const bool closing = at + 1 < text.size() && text[at + 1] == '/';
    const std::size_t name_start = at + (closing ? 2 : 1);
    if (name_start >= text.size() || !IsTagNameStart(text[name_start])) continue;
    if (closing) {
      open = std::max(open - 1, 0);
      continue;
    }
    std::size_t name_end = name_start;
    while (name_end < text.size() && std::isalnum(static_cast<unsigned char>(text[name_end]))) ++name_end;
    if (IsVoidName(text.substr(name_start, name_end - name_start))) continue;
    if (++open > kMaxOpenTags) return at;
  }
  return std::string_view::npos;
}

}  // namespace

HtmlDocument::HtmlDocument(std::string utf8) : text_(std::move(utf8)) {
  if (const std::size_t cut = NestingCutPoint(text_); cut != std::string::npos) text_.resize(cut);
  // Recording parse errors copies the stack of open elements for each one,
  // which makes deeply nested broken pages quadratic; nobody reads them.
  GumboOptions options = kGumboDefaultOptions;
  options.max_errors = 0;
  output_ = gumbo_parse_with_options(&options, text_.data(), text_.size());
  if (output_ != nullptr) body_ = ChildElement(output_->root, GUMBO_TAG_BODY);
}

HtmlDocument::~HtmlDocument() {
  if (output_ != nullptr) gumbo_destroy_output(&kGumboDefaultOptions, output_);
}

}  // namespace pitrel

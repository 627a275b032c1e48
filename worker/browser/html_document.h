// A parsed page: gumbo's tree of UTF-8 text, freed with the object.
// Not copyable; the tree is read-only once parsed.
#pragma once

#include <gumbo.h>

#include <string>
#include <string_view>

namespace pitrel {

class HtmlDocument {
 public:
  explicit HtmlDocument(std::string utf8);
  ~HtmlDocument();
  HtmlDocument(const HtmlDocument&) = delete;
  HtmlDocument& operator=(const HtmlDocument&) = delete;

  // The <body> element, or nullptr (a frameset page has none).
  const GumboNode* Body() const { return body_; }

 private:
  std::string text_;  // gumbo's tree points into it
  GumboOutput* output_ = nullptr;
  const GumboNode* body_ = nullptr;
};

}  // namespace pitrel

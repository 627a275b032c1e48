// The worker's browser: loads one URL and hands back what the condensers read,
// the body's rendered text and its mark-up as an old browser wrote it.
// One small interface, so that another engine can stand in later.
// Texts are UTF-8; line breaks in the body text are CR LF.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "worker/page/fetch_failure.h"

namespace pitrel {

class HtmlDocument;

struct FetchLimits {
  long connect_timeout_ms = 10'000;
  long total_timeout_ms = 30'000;  // every worker ends, whatever the server does
  std::size_t max_bytes = 8u << 20;
};

// A loaded page offers both the body text and the body mark-up. Each is
// worked out from the parsed page on first use: a condenser reads one of them,
// and building the other would cost as much again. What a reader gets does
// not depend on what was read before. One thread reads a page at a time.
struct LoadedPage {
  std::string requested_url;
  std::string location_url;  // final URL after redirects; the requested text when none
  bool loaded = false;       // false when nothing arrived (refused, timed out)
  std::string error;         // why not, or what went wrong after the page began to arrive
  FetchFailure failure =
      FetchFailure::kNone;                  // that error's kind; kNotAPage for a body no page has
  long status = 0;                          // HTTP status; 0 without an HTTP answer
  std::optional<long> retry_after_seconds;  // the wait a Retry-After header asked for
  std::shared_ptr<const HtmlDocument> document;  // nullptr when nothing arrived

  const std::string& BodyText() const;  // body innerText
  const std::string& BodyHtml() const;  // the body's children, old-browser style mark-up

 private:
  mutable std::optional<std::string> body_text_;
  mutable std::optional<std::string> body_html_;
};

class PageEngine {
 public:
  virtual ~PageEngine() = default;
  virtual LoadedPage Load(const std::string& url) = 0;
};

// Our own http(s) client (file addresses read from disk), charset decoding
// and a gumbo parse.
std::unique_ptr<PageEngine> MakeDefaultPageEngine(const FetchLimits& limits = {});

}  // namespace pitrel

// The worker's browser: loads one URL and hands back what the condensers read,
// the body's rendered text and its mark-up as an old browser wrote it.
// One small interface, so that another engine can stand in later.
// Texts are UTF-8; line breaks in body_text are CR LF.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace pitrel {

struct FetchLimits {
  long connect_timeout_ms = 10'000;
  long total_timeout_ms = 30'000;  // every worker ends, whatever the server does
  std::size_t max_bytes = 8u << 20;
};

struct LoadedPage {
  std::string requested_url;
  std::string location_url;  // final URL after redirects; the requested text when none
  std::string body_text;     // body innerText
  std::string body_html;     // the body's children, old-browser style mark-up
  bool loaded = false;       // false when nothing arrived (refused, timed out)
  std::string error;         // why not, for diagnostics only
};

class PageEngine {
 public:
  virtual ~PageEngine() = default;
  virtual LoadedPage Load(const std::string& url) = 0;
};

// Our own http client (libcurl, loaded on demand, for https and file URLs),
// charset decoding and a gumbo parse.
std::unique_ptr<PageEngine> MakeDefaultPageEngine(const FetchLimits& limits = {});

}  // namespace pitrel

// Small helpers for talking to a SampleMarketplace in tests.
#pragma once

#include "tools/sample_market/gbk.h"
#include "tools/sample_market/server.h"

#include <httplib.h>

#include <string>

namespace sample_market::testing {

// GET without following redirects; a fixed Host header keeps pages of two
// servers comparable byte for byte.
inline httplib::Result Get(const SampleMarketplace& market, const std::string& path,
                           const std::string& host_header = "") {
  httplib::Client client("127.0.0.1", market.port());
  client.set_read_timeout(10, 0);
  httplib::Headers headers;
  if (!host_header.empty()) headers.emplace("Host", host_header);
  return client.Get(path, headers);
}

inline std::string Utf8Body(const httplib::Result& result) { return FromGbk(result->body); }

inline int CountOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + part.size()))
    ++count;
  return count;
}

inline std::string SearchPath(const std::string& keyword, int page) {
  return "/company/" + keyword + "/" + std::to_string(page) +
         ".html?page_size=40&province=%D5%E3%BD%AD&show_province=%D5%E3%BD%AD&search_type=search&"
         "filt=y";
}

}  // namespace sample_market::testing

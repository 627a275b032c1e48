// libcurl, loaded only when a URL needs it (https, file). Loading it costs a
// worker more than fetching a whole plain-http page, because it pulls in the
// TLS stack and dozens of libraries; so it is opened on first use, not linked.
#pragma once

#include <curl/curl.h>

#include <string>

namespace pitrel {

// The few libcurl functions the fetcher calls.
struct CurlRuntime {
  CURLcode (*global_init)(long flags);
  CURL* (*easy_init)();
  CURLcode (*easy_setopt)(CURL* handle, CURLoption option, ...);
  CURLcode (*easy_perform)(CURL* handle);
  CURLcode (*easy_getinfo)(CURL* handle, CURLINFO info, ...);
  void (*easy_cleanup)(CURL* handle);
  const char* (*easy_strerror)(CURLcode code);
};

// Loads and initialises libcurl once per process (thread-safe). Nothing,
// with the reason in *error, when it is not installed or lacks a function.
// In the statically linked worker this hands the whole page to pitrel-curl
// instead and returns only when that cannot be started
// (curl_hand_off.cpp); every other program loads libcurl (curl_runtime.cpp).
const CurlRuntime* LoadCurlRuntime(std::string* error);

}  // namespace pitrel

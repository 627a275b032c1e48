// Why a fetch brought no usable page, sorted by what a caller can do about
// it: the connection-level kinds may pass if tried again later, the others
// will not. FetchError pairs the kind with the text that says more.
#pragma once

#include <string>

namespace pitrel {

enum class FetchFailure {
  kNone,          // the answer arrived whole, or up to the size cap
  kNoConnection,  // name not found, connection refused or unreachable
  kTimedOut,
  kReset,            // the connection broke, or closed before any answer
  kTruncated,        // the server ended the body before its framing said
  kProxy,            // the proxy is unreachable or broke the connection
  kMalformed,        // no HTTP answer, or a body whose coding is corrupt
  kCertificate,      // the server's certificate failed verification
  kTls,              // the TLS handshake failed for another reason
  kRefusedRedirect,  // to another scheme, into the private network, or too many
  kBadAddress,       // an address that names no resource that can be fetched
  kNotAPage,         // what arrived is not a page: empty, binary, or too costly to read
};

// The kinds that may pass if the page is fetched again later.
inline bool IsPassingFailure(FetchFailure kind) {
  return kind == FetchFailure::kNoConnection || kind == FetchFailure::kTimedOut ||
         kind == FetchFailure::kReset || kind == FetchFailure::kTruncated ||
         kind == FetchFailure::kProxy;
}

struct FetchError {
  FetchFailure kind = FetchFailure::kNone;
  std::string text;

  void Set(FetchFailure new_kind, std::string new_text) {
    kind = new_kind;
    text = std::move(new_text);
  }
};

}  // namespace pitrel

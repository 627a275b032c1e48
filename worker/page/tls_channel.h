// TLS on one of the worker's connections, through OpenSSL (linked statically
// into pitrel): TLS 1.2 or 1.3, SNI, the server's certificate verified
// against the system's store and checked against the host's name or address.
//
// Certificates are looked up when a handshake needs one, in the hashed
// directory (SSL_CERT_DIR, else OpenSSL's default directory, /etc/ssl/certs
// on Debian), so that a page does not pay for reading the whole bundle;
// SSL_CERT_FILE, when set, is read as well (certificate_sources.h).
// OpenSSL's configuration file is not read: the static worker could not load
// the modules it may name, and reading it would cost every https page. No
// session is kept: a worker makes one handshake and ends.
//
// The channel only moves bytes; its caller waits on the socket for what a
// step asks (http_connection.h). One thread per channel.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "worker/page/fetch_failure.h"

struct ssl_st;

namespace pitrel {

class TlsChannel {
 public:
  enum class Step { kDone, kWantRead, kWantWrite, kClosed, kFailed };

  // A channel over the connected socket fd to host (a name or an IP
  // literal); nothing, with error, when TLS cannot be set up at all.
  static std::unique_ptr<TlsChannel> Open(int fd, const std::string& host, FetchError* error);
  TlsChannel(const TlsChannel&) = delete;
  TlsChannel& operator=(const TlsChannel&) = delete;
  ~TlsChannel();

  // Each step either finishes (kDone), needs the socket readable or
  // writable first, finds the peer closed, or fails with error.
  Step Handshake(FetchError* error);
  Step Write(std::string_view data, std::size_t* written, FetchError* error);
  Step Read(char* buffer, std::size_t size, std::size_t* got, FetchError* error);

 private:
  explicit TlsChannel(ssl_st* ssl) : ssl_(ssl) {}
  Step StepAfter(int result, FetchError* error);

  ssl_st* ssl_;
};

}  // namespace pitrel

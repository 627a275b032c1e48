// One TCP connection for an HTTP exchange, plain or under TLS, every step
// bounded by a deadline so that a silent or slow server cannot hold the
// worker. Not thread-safe; one connection per exchange.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "worker/page/fetch_failure.h"
#include "worker/page/tls_channel.h"

namespace pitrel {

class Deadline {
 public:
  explicit Deadline(long milliseconds)
      : end_(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds)) {}
  // Milliseconds left, at least 0.
  long RemainingMs() const;
  bool Passed() const { return RemainingMs() == 0; }

 private:
  std::chrono::steady_clock::time_point end_;
};

class HttpConnection {
 public:
  HttpConnection() = default;
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;
  ~HttpConnection();

  // Tries each address of host in turn; connect_timeout_ms bounds them all.
  // Unless own_network is allowed, addresses in the user's own network are
  // passed over (network_space.h): a host with no other fails as a refused
  // redirect, the only case in which a caller forbids them.
  bool Connect(const std::string& host, int port, long connect_timeout_ms, const Deadline& deadline,
               bool own_network, FetchError* error);
  // Whether the connected peer lies in the user's own network.
  bool PeerInOwnNetwork() const { return peer_in_own_network_; }
  // Goes on under TLS with host, the name (or address) the server's
  // certificate must carry; what is sent and received from here on is
  // encrypted. The handshake is bounded by the deadline.
  bool StartTls(const std::string& host, const Deadline& deadline, FetchError* error);
  bool SendAll(std::string_view data, const Deadline& deadline, FetchError* error);
  // Bytes read (> 0), 0 when the server closed the connection, -1 on an
  // error or when the deadline passed (error says which).
  long Receive(char* buffer, std::size_t size, const Deadline& deadline, FetchError* error);

 private:
  // Waits until the socket is ready for events; false with error on timeout.
  bool WaitFor(short events, long timeout_ms, FetchError* error);
  // Waits for what a TLS step asked; false (error set) when it failed or timed out.
  bool WaitForTls(TlsChannel::Step step, const Deadline& deadline, FetchError* error);
  long ReceiveTls(char* buffer, std::size_t size, const Deadline& deadline, FetchError* error);
  bool SendAllTls(std::string_view data, const Deadline& deadline, FetchError* error);
  void Close();

  int fd_ = -1;
  std::unique_ptr<TlsChannel> tls_;
  bool peer_in_own_network_ = false;
};

}  // namespace pitrel

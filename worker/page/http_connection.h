// One TCP connection for a plain-http exchange, every step bounded by a
// deadline so that a silent or slow server cannot hold the worker.
// Not thread-safe; one connection per exchange.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "worker/page/fetch_failure.h"

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
  bool SendAll(std::string_view data, const Deadline& deadline, FetchError* error);
  // Bytes read (> 0), 0 when the server closed the connection, -1 on an
  // error or when the deadline passed (error says which).
  long Receive(char* buffer, std::size_t size, const Deadline& deadline, FetchError* error);

 private:
  // Waits until the socket is ready for events; false with error on timeout.
  bool WaitFor(short events, long timeout_ms, FetchError* error);
  void Close();

  int fd_ = -1;
  bool peer_in_own_network_ = false;
};

}  // namespace pitrel

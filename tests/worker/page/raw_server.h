// A TCP server on the loopback for the fetch tests that need replies no
// well-behaved server library would send: garbage, cut-short bodies,
// silence. Each connection's request head is read, then a script answers.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace pitrel::testing {

inline void SendText(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t sent = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
    if (sent <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(sent));
  }
}

class RawServer {
 public:
  // The script gets the connected socket; `stopping` turns true when the test ends.
  using Script = std::function<void(int fd, const std::atomic<bool>& stopping)>;

  // Listens on address, an IPv4 or IPv6 literal.
  explicit RawServer(Script script, std::string address = "127.0.0.1")
      : script_(std::move(script)),
        address_(std::move(address)),
        ipv6_(address_.find(':') != std::string::npos) {
    listener_ = ::socket(ipv6_ ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0 || !Bind() || ::listen(listener_, 16) != 0) return;
    thread_ = std::thread([this] { Serve(); });
  }
  ~RawServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
  }

  bool listening() const { return thread_.joinable(); }
  std::string Url(const std::string& path) const {
    return "http://" + (ipv6_ ? "[" + address_ + "]" : address_) + ":" + std::to_string(port_) +
           path;
  }
  std::string LastRequest() {
    std::lock_guard lock(mutex_);
    return last_request_;
  }

 private:
  bool Bind() {
    sockaddr_storage address{};
    socklen_t length = 0;
    if (ipv6_) {
      auto* in6 = reinterpret_cast<sockaddr_in6*>(&address);
      in6->sin6_family = AF_INET6;
      if (::inet_pton(AF_INET6, address_.c_str(), &in6->sin6_addr) != 1) return false;
      length = sizeof *in6;
    } else {
      auto* in4 = reinterpret_cast<sockaddr_in*>(&address);
      in4->sin_family = AF_INET;
      if (::inet_pton(AF_INET, address_.c_str(), &in4->sin_addr) != 1) return false;
      length = sizeof *in4;
    }
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0) return false;
    if (::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return false;
    port_ = ntohs(ipv6_ ? reinterpret_cast<sockaddr_in6*>(&address)->sin6_port
                        : reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    return true;
  }

  void Serve() {
    while (!stopping_) {
      pollfd entry{listener_, POLLIN, 0};
      if (::poll(&entry, 1, 20) <= 0) continue;
      const int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) continue;
      ReadRequestHead(fd);
      script_(fd, stopping_);
      ::close(fd);
    }
  }

  void ReadRequestHead(int fd) {
    std::string request;
    char block[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      pollfd entry{fd, POLLIN, 0};
      if (::poll(&entry, 1, 2000) <= 0) break;
      const ssize_t got = ::recv(fd, block, sizeof block, 0);
      if (got <= 0) break;
      request.append(block, static_cast<std::size_t>(got));
    }
    std::lock_guard lock(mutex_);
    last_request_ = request;
  }

  Script script_;
  std::string address_;
  bool ipv6_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::string last_request_;
};

// Keeps the connection open, saying nothing, until the test ends.
inline void StaySilent(const std::atomic<bool>& stopping) {
  while (!stopping) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace pitrel::testing

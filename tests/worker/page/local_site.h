// A small web site on 127.0.0.1 for the page layer's tests, served by
// cpp-httplib from a thread of the test process.
#pragma once

#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

namespace pitrel::testing {

class LocalSite {
 public:
  LocalSite() = default;
  ~LocalSite() { Stop(); }

  httplib::Server& server() { return server_; }

  void Start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  void Stop() {
    if (thread_.joinable()) {
      server_.stop();
      thread_.join();
    }
  }

  int port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
};

}  // namespace pitrel::testing

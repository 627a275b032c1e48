// A small web site on 127.0.0.1 for the page layer's tests, served by
// cpp-httplib from a thread of the test process: plain http, or https with
// one of the build's test certificates (build/test-tls, see
// tools/test_certificate_maker.cpp).
#pragma once

#include <httplib.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace pitrel::testing {

inline const std::string kTestTlsDirectory = std::string(QUENLO_BUILD_DIR) + "/test-tls";
inline const std::string kTestCaFile = kTestTlsDirectory + "/test-ca.pem";

class LocalSite {
 public:
  LocalSite() : server_(std::make_unique<httplib::Server>()) {}
  // https with the test certificate of that name: "marketplace" (127.0.0.1,
  // ::1, localhost), "wrong-host", "expired" or "stranger" (an unknown CA).
  explicit LocalSite(const std::string& certificate)
      : secure_(true),
        server_(std::make_unique<httplib::SSLServer>(
            (kTestTlsDirectory + "/" + certificate + ".pem").c_str(),
            (kTestTlsDirectory + "/" + certificate + ".key").c_str())) {}
  ~LocalSite() { Stop(); }

  httplib::Server& server() { return *server_; }
  // The https server's context, to narrow its TLS versions or watch its handshakes.
  SSL_CTX* tls_context() { return static_cast<httplib::SSLServer&>(*server_).ssl_context(); }

  void Start() {
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  void Stop() {
    if (thread_.joinable()) {
      server_->stop();
      thread_.join();
    }
  }

  int port() const { return port_; }
  std::string Url(const std::string& path, const std::string& host = "127.0.0.1") const {
    return (secure_ ? "https://" : "http://") + host + ":" + std::to_string(port_) + path;
  }

 private:
  bool secure_ = false;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
};

}  // namespace pitrel::testing

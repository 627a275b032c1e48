// An HTTP proxy on 127.0.0.1 for tests and trials that logs what passes:
// absolute-form requests for http pages are passed on to their server,
// CONNECT opens a tunnel for https (the proxy then sees only encrypted
// bytes). It can demand credentials (407 without them), refuse tunnels
// (403), and send hosts it is told about to another address, so that a
// public name can stand for a server on this machine.
//
// Thread safety: Start and Stop from one thread; Log and port from any.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace logging_proxy {

struct ProxyOptions {
  int port = 0;                        // 0: any free port
  std::string required_authorization;  // the Proxy-Authorization value to demand; empty: none
  bool refuse_tunnels = false;         // answer CONNECT with 403
  std::map<std::string, std::string> routes;  // "host:port" asked for -> "address:port" used
};

class LoggingProxy {
 public:
  explicit LoggingProxy(ProxyOptions options = {});
  ~LoggingProxy();
  LoggingProxy(const LoggingProxy&) = delete;
  LoggingProxy& operator=(const LoggingProxy&) = delete;

  bool Start(std::string* error = nullptr);
  // Ends every connection and joins every thread.
  void Stop();

  int port() const { return port_; }
  std::string Url() const;  // http://127.0.0.1:PORT

  // One line a request, in arrival order: its request line ("CONNECT
  // 127.0.0.1:443", "GET http://127.0.0.1:8080/x.html"), then " auth" when
  // it carried Proxy-Authorization, then " -> " and the status answered
  // (200 for a tunnel opened or a request passed on).
  std::vector<std::string> Log() const;

 private:
  void Accept();
  void Serve(int client);
  void Note(std::string line);

  ProxyOptions options_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::vector<std::thread> connections_;
  std::vector<std::string> log_;
};

}  // namespace logging_proxy

#include "tools/logging_proxy/logging_proxy.h"

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <optional>

namespace logging_proxy {
namespace {

constexpr int kPollMs = 20;

void SendText(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t sent = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
    if (sent <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(sent));
  }
}

// The request head, up to its blank line; what came after it stays in rest.
std::optional<std::string> ReadHead(int fd, const std::atomic<bool>& stopping, std::string& rest) {
  std::string data;
  char block[4096];
  while (data.find("\r\n\r\n") == std::string::npos && !stopping) {
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, kPollMs) <= 0) continue;
    const ssize_t got = ::recv(fd, block, sizeof block, 0);
    if (got <= 0) return std::nullopt;
    data.append(block, static_cast<std::size_t>(got));
  }
  const std::size_t end = data.find("\r\n\r\n");
  if (end == std::string::npos) return std::nullopt;
  rest = data.substr(end + 4);
  return data.substr(0, end + 4);
}

std::string HeaderValue(const std::string& head, const std::string& lower_name) {
  std::string lower = head;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::size_t at = lower.find("\r\n" + lower_name + ":");
  if (at == std::string::npos) return {};
  const std::size_t start = head.find_first_not_of(' ', at + 3 + lower_name.size());
  return head.substr(start, head.find("\r\n", start) - start);
}

// The head without its Proxy-Authorization line and with an origin-form target.
std::string ForOrigin(const std::string& head, const std::string& method, const std::string& path) {
  std::string out = method + " " + path + head.substr(head.find(" HTTP/"));
  std::string lower = out;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (const std::size_t at = lower.find("\r\nproxy-authorization:"); at != std::string::npos)
    out.erase(at, out.find("\r\n", at + 2) - at);
  return out;
}

int ConnectTo(const std::string& host_and_port) {
  const std::size_t colon = host_and_port.rfind(':');
  std::string host = host_and_port.substr(0, colon);
  if (host.starts_with('[')) host = host.substr(1, host.size() - 2);
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), host_and_port.substr(colon + 1).c_str(), &hints, &found) != 0) return -1;
  int fd = -1;
  for (const addrinfo* each = found; each && fd < 0; each = each->ai_next) {
    fd = ::socket(each->ai_family, each->ai_socktype, each->ai_protocol);
    if (fd >= 0 && ::connect(fd, each->ai_addr, each->ai_addrlen) != 0) {
      ::close(fd);
      fd = -1;
    }
  }
  ::freeaddrinfo(found);
  return fd;
}

// Passes bytes both ways until either side closes or the proxy stops.
void Splice(int a, int b, const std::atomic<bool>& stopping) {
  char block[16 * 1024];
  while (!stopping) {
    pollfd entries[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
    if (::poll(entries, 2, kPollMs) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (!(entries[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const ssize_t got = ::recv(entries[i].fd, block, sizeof block, 0);
      if (got <= 0) return;
      SendText(i == 0 ? b : a, std::string_view(block, static_cast<std::size_t>(got)));
    }
  }
}

struct Target {
  std::string host_and_port;  // where the client asked to go
  std::string path;           // origin-form path of an http request
};

// "CONNECT host:port" or "GET http://host[:port]/path"; nothing for anything else.
std::optional<Target> TargetOf(const std::string& method, const std::string& uri) {
  if (method == "CONNECT") return Target{uri, {}};
  if (!uri.starts_with("http://")) return std::nullopt;
  const std::size_t slash = uri.find('/', 7);
  std::string authority = uri.substr(7, slash == std::string::npos ? std::string::npos : slash - 7);
  if (authority.find(':', authority.rfind(']') == std::string::npos ? 0 : authority.rfind(']')) == std::string::npos)
    authority += ":80";
  return Target{authority, slash == std::string::npos ? "/" : uri.substr(slash)};
}

}  // namespace

LoggingProxy::LoggingProxy(ProxyOptions options) : options_(std::move(options)) {}

LoggingProxy::~LoggingProxy() { Stop(); }

bool LoggingProxy::Start(std::string* error) {
  listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(options_.port));
  socklen_t length = sizeof address;
  const int yes = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener_, 64) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (error) *error = "cannot listen on 127.0.0.1:" + std::to_string(options_.port);
    return false;
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { Accept(); });
  return true;
}

void LoggingProxy::Stop() {
  stopping_ = true;
  if (acceptor_.joinable()) acceptor_.join();
  std::vector<std::thread> connections;
  {
    std::lock_guard lock(mutex_);
    connections.swap(connections_);
  }
  for (std::thread& each : connections) each.join();
  if (listener_ >= 0) ::close(listener_);
  listener_ = -1;
}

std::string LoggingProxy::Url() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> LoggingProxy::Log() const {
  std::lock_guard lock(mutex_);
  return log_;
}

void LoggingProxy::Note(std::string line) {
  std::lock_guard lock(mutex_);
  log_.push_back(std::move(line));
}

void LoggingProxy::Accept() {
  while (!stopping_) {
    pollfd entry{listener_, POLLIN, 0};
    if (::poll(&entry, 1, kPollMs) <= 0) continue;
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, client] { Serve(client); });
  }
}

void LoggingProxy::Serve(int client) {
  std::string rest;
  const std::optional<std::string> head = ReadHead(client, stopping_, rest);
  const std::string line = head ? head->substr(0, head->find("\r\n")) : std::string();
  const std::size_t space = line.find(' ');
  const std::string method = line.substr(0, space);
  const std::string uri = space == std::string::npos ? "" : line.substr(space + 1, line.rfind(' ') - space - 1);
  const std::string authorization = head ? HeaderValue(*head, "proxy-authorization") : std::string();
  const std::optional<Target> target = TargetOf(method, uri);
  const auto answer = [&](int status, const std::string& text) {
    Note(method + " " + uri + (authorization.empty() ? "" : " auth") + " -> " + std::to_string(status));
    if (!text.empty()) SendText(client, text);
  };
  int upstream = -1;
  if (!head || !target) {
    answer(400, "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
  } else if (!options_.required_authorization.empty() && authorization != options_.required_authorization) {
    answer(407, "HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic realm=\"test\"\r\n"
                "Content-Length: 0\r\n\r\n");
  } else if (method == "CONNECT" && options_.refuse_tunnels) {
    answer(403, "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n");
  } else {
    const auto route = options_.routes.find(target->host_and_port);
    upstream = ConnectTo(route == options_.routes.end() ? target->host_and_port : route->second);
    if (upstream < 0) {
      answer(502, "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n");
    } else {
      answer(200, method == "CONNECT" ? "HTTP/1.1 200 Connection established\r\n\r\n" : "");
      if (method != "CONNECT") SendText(upstream, ForOrigin(*head, method, target->path) + rest);
      Splice(client, upstream, stopping_);
      ::close(upstream);
    }
  }
  ::close(client);
}

}  // namespace logging_proxy

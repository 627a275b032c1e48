#include "worker/page/http_connection.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "worker/page/network_space.h"

namespace pitrel {
namespace {

struct AddrInfoDeleter {
  void operator()(addrinfo* list) const { freeaddrinfo(list); }
};
using AddrInfoList = std::unique_ptr<addrinfo, AddrInfoDeleter>;

std::string Where(const std::string& host, int port) {
  return host + " port " + std::to_string(port);
}

}  // namespace

long Deadline::RemainingMs() const {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      end_ - std::chrono::steady_clock::now());
  return std::max<long>(0, left.count());
}

HttpConnection::~HttpConnection() { Close(); }

void HttpConnection::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool HttpConnection::WaitFor(short events, long timeout_ms, FetchError* error) {
  pollfd entry{fd_, events, 0};
  while (true) {
    const int ready = ::poll(&entry, 1, static_cast<int>(std::min<long>(timeout_ms, 1L << 30)));
    if (ready > 0) return true;
    if (ready == 0) {
      error->Set(FetchFailure::kTimedOut, "timed out");
      return false;
    }
    if (errno != EINTR) {
      error->Set(FetchFailure::kReset, std::string("poll failed: ") + std::strerror(errno));
      return false;
    }
  }
}

bool HttpConnection::Connect(const std::string& host, int port, long connect_timeout_ms,
                             const Deadline& deadline, bool own_network, FetchError* error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (const int code = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); code != 0) {
    error->Set(FetchFailure::kNoConnection, "could not resolve host " + host + ": " + gai_strerror(code));
    return false;
  }
  const AddrInfoList addresses(found);
  const Deadline connect_deadline(std::min(connect_timeout_ms, deadline.RemainingMs()));
  FetchError last_error{FetchFailure::kNoConnection, "no address for " + host};
  for (const addrinfo* address = found; address; address = address->ai_next) {
    Close();
    peer_in_own_network_ = IsOwnNetworkAddress(address->ai_addr);
    if (peer_in_own_network_ && !own_network) {
      last_error.Set(FetchFailure::kRefusedRedirect, "refused a redirect from a public address into the own network (" +
                                                         AddressText(address->ai_addr) + ")");
      continue;
    }
    fd_ = ::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                   address->ai_protocol);
    if (fd_ < 0) {
      last_error.Set(FetchFailure::kNoConnection, std::string("socket failed: ") + std::strerror(errno));
      continue;
    }
    if (::connect(fd_, address->ai_addr, address->ai_addrlen) == 0) return true;
    if (errno != EINPROGRESS) {
      last_error.Set(FetchFailure::kNoConnection,
                     "could not connect to " + Where(host, port) + ": " + std::strerror(errno));
      continue;
    }
    FetchError wait_error;
    if (!WaitFor(POLLOUT, connect_deadline.RemainingMs(), &wait_error)) {
      last_error.Set(wait_error.kind, "connecting to " + Where(host, port) + " " + wait_error.text);
      if (connect_deadline.Passed()) break;
      continue;
    }
    int code = 0;
    socklen_t length = sizeof code;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &code, &length) == 0 && code == 0) return true;
    last_error.Set(FetchFailure::kNoConnection,
                   "could not connect to " + Where(host, port) + ": " + std::strerror(code));
  }
  Close();
  *error = last_error;
  return false;
}

bool HttpConnection::SendAll(std::string_view data, const Deadline& deadline, FetchError* error) {
  while (!data.empty()) {
    const ssize_t sent = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      data.remove_prefix(static_cast<std::size_t>(sent));
    } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      if (!WaitFor(POLLOUT, deadline.RemainingMs(), error)) return false;
    } else {
      error->Set(FetchFailure::kReset, std::string("sending the request failed: ") + std::strerror(errno));
      return false;
    }
  }
  return true;
}

long HttpConnection::Receive(char* buffer, std::size_t size, const Deadline& deadline,
                             FetchError* error) {
  while (true) {
    const ssize_t got = ::recv(fd_, buffer, size, 0);
    if (got >= 0) return got;
    if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
      error->Set(FetchFailure::kReset, std::string("receiving failed: ") + std::strerror(errno));
      return -1;
    }
    if (!WaitFor(POLLIN, deadline.RemainingMs(), error)) return -1;
  }
}

}  // namespace pitrel

#include "worker/page/plain_http.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <ctime>
#include <memory>
#include <optional>

#include "worker/page/http_connection.h"
#include "worker/page/http_response.h"
#include "worker/page/url_encoding.h"
#include "worker/page/url_resolve.h"

namespace pitrel {
namespace {

constexpr std::size_t kMaxHeadBytes = 64 * 1024;
constexpr std::size_t kReadBlock = 16 * 1024;

struct HttpTarget {
  std::string host;         // for name lookup: without brackets
  int port = 80;
  std::string host_header;  // as sent: brackets kept, port when not 80
  std::string path;         // path and query
};

// One request and what came back.
struct Exchange {
  bool answered = false;  // a response head arrived
  int status = 0;
  std::string content_type;
  std::string location;
  std::string retry_after;
  std::string body;
  FetchError error;
  bool peer_in_own_network = false;
};

std::string_view SchemeOf(std::string_view url) {
  const std::size_t colon = url.find(':');
  return colon == std::string_view::npos ? std::string_view() : url.substr(0, colon);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string LowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string_view WithoutBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

std::optional<int> PortOf(std::string_view text) {
  if (text.empty()) return 80;
  int port = 0;
  const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (code != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535)
    return std::nullopt;
  return port;
}

struct HostAndPort {
  std::string host;  // without brackets
  int port = 80;
  bool bracketed = false;  // an IPv6 literal
};

// "host", "host:81", "[::1]:81", user info dropped; nothing when unusable.
std::optional<HostAndPort> ParseAuthority(std::string_view authority) {
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos)
    authority.remove_prefix(at + 1);  // user info is not sent
  HostAndPort parsed;
  std::string_view host = authority, port_text;
  parsed.bracketed = authority.starts_with('[');
  if (parsed.bracketed) {
    const std::size_t close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = authority.substr(1, close - 1);
    const std::string_view after = authority.substr(close + 1);
    if (!after.empty() && after.front() != ':') return std::nullopt;
    if (!after.empty()) port_text = after.substr(1);
  } else if (const std::size_t colon = authority.rfind(':'); colon != std::string_view::npos) {
    host = authority.substr(0, colon);
    port_text = authority.substr(colon + 1);
  }
  const std::optional<int> port = PortOf(port_text);
  if (host.empty() || !port) return std::nullopt;
  parsed.host.assign(host);
  parsed.port = *port;
  return parsed;
}

// Splits an encoded http:// URL; nothing when it has no usable host or port.
std::optional<HttpTarget> SplitHttpUrl(std::string_view url) {
  url.remove_prefix(std::string_view("http://").size());
  url = url.substr(0, url.find('#'));
  const std::size_t path_start = std::min(url.find('/'), url.find('?'));
  const std::optional<HostAndPort> authority = ParseAuthority(url.substr(0, path_start));
  if (!authority) return std::nullopt;
  const std::string_view path = path_start == std::string_view::npos ? "" : url.substr(path_start);

  HttpTarget target;
  target.host = authority->host;
  target.port = authority->port;
  target.host_header = LowerCase(authority->bracketed ? "[" + target.host + "]" : target.host);
  if (target.port != 80) target.host_header += ":" + std::to_string(target.port);
  target.path = path.empty() || path.front() == '?' ? "/" + std::string(path) : std::string(path);
  return target;
}

std::string RequestFor(const HttpTarget& target) {
  return "GET " + target.path + " HTTP/1.1\r\nHost: " + target.host_header +
         "\r\nUser-Agent: " + kBrowserUserAgent +
         "\r\nAccept: */*\r\nAccept-Encoding: gzip, deflate\r\nConnection: close\r\n\r\n";
}

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool HasNoBody(int status) { return status == 204 || status == 304 || (status >= 100 && status < 200); }

// A step that failed because the whole fetch ran out of time says so.
void NoteTimeout(const Deadline& deadline, const FetchLimits& limits, FetchError* error) {
  if (deadline.Passed())
    error->Set(FetchFailure::kTimedOut, "timed out after " + std::to_string(limits.total_timeout_ms) + " ms");
}

// Whether what arrived so far can still be the start of an HTTP/1.x status line.
bool CouldBeStatusLine(std::string_view received) {
  constexpr std::string_view kStart = "HTTP/1.";
  const std::size_t n = std::min(received.size(), kStart.size());
  return received.substr(0, n) == kStart.substr(0, n);
}

// Reads until a final (non-1xx) head arrives; what follows it stays in buffer.
std::optional<ResponseHead> ReadHead(HttpConnection& connection, const Deadline& deadline,
                                     const FetchLimits& limits, std::string& buffer, FetchError* error) {
  char block[kReadBlock];
  while (true) {
    if (const std::size_t length = HeadLength(buffer); length > 0) {
      std::optional<ResponseHead> head = ParseResponseHead(std::string_view(buffer).substr(0, length));
      if (!head) {
        error->Set(FetchFailure::kMalformed, "malformed response from server");
        return std::nullopt;
      }
      buffer.erase(0, length);
      if (head->status >= 200 || head->status < 100 || head->status == 101) return head;
      continue;  // an interim 1xx answer: the real one follows
    }
    if (!CouldBeStatusLine(buffer)) {
      error->Set(FetchFailure::kMalformed, "malformed response from server");
      return std::nullopt;
    }
    if (buffer.size() > kMaxHeadBytes) {
      error->Set(FetchFailure::kMalformed, "response header too large");
      return std::nullopt;
    }
    const long got = deadline.Passed() ? -1 : connection.Receive(block, sizeof block, deadline, error);
    if (got == 0)
      error->Set(FetchFailure::kReset, buffer.empty() ? "empty reply from server"
                                                      : "connection closed inside the response header");
    if (got <= 0) {
      NoteTimeout(deadline, limits, error);
      return std::nullopt;
    }
    buffer.append(block, static_cast<std::size_t>(got));
  }
}

// Takes the body's bytes off the wire and decodes them into body, up to the cap.
class BodyReader {
 public:
  BodyReader(const ResponseHead& head, std::size_t cap, std::string& body)
      : content_(head.Header("content-encoding")), cap_(cap), body_(body) {
    if (HasNoBody(head.status)) {
      complete_ = true;
    } else if (LowerCase(head.Header("transfer-encoding")).find("chunked") != std::string::npos) {
      chunked_ = std::make_unique<ChunkedDecoder>();
    } else if (const std::string length = head.Header("content-length"); !length.empty()) {
      std::size_t value = 0;
      const auto [end, code] = std::from_chars(length.data(), length.data() + length.size(), value);
      if (code == std::errc() && end == length.data() + length.size()) {
        length_left_ = value;
        complete_ = value == 0;
      }
    }
  }

  // False when the body must stop here; error says why.
  bool Feed(std::string_view wire, FetchError* error) {
    if (complete_) return false;
    std::string_view data = wire;
    std::string unchunked;
    bool framing_broken = false;
    if (chunked_) {
      framing_broken = !chunked_->Feed(wire, unchunked);  // what came before the fault still counts
      data = unchunked;
      complete_ = chunked_->Done();
    } else if (length_left_) {
      data = wire.substr(0, *length_left_);
      *length_left_ -= data.size();
      complete_ = *length_left_ == 0;
    }
    if (std::string text; !content_.Feed(data, body_, cap_, &text)) {
      error->Set(FetchFailure::kMalformed, text);
      return false;
    }
    if (framing_broken) {
      error->Set(FetchFailure::kMalformed, "malformed chunked body");
      return false;
    }
    if (body_.size() >= cap_ && !(complete_ && !content_.Unfinished())) {
      error->Set(FetchFailure::kNone, "size limit reached");  // what arrived is kept as the page
      return false;
    }
    return !complete_;
  }

  // The server closed the connection: fine unless the framing promised more.
  void Closed(FetchError* error) {
    if (chunked_ || length_left_)
      error->Set(FetchFailure::kTruncated, "connection closed before the whole body arrived");
    else if (content_.Unfinished()) error->Set(FetchFailure::kTruncated, "compressed body cut short");
    else complete_ = true;
  }

 private:
  std::unique_ptr<ChunkedDecoder> chunked_;
  std::optional<std::size_t> length_left_;  // nothing: the body runs to the close
  ContentDecoder content_;
  std::size_t cap_;
  std::string& body_;
  bool complete_ = false;
};

void ReadBody(HttpConnection& connection, const Deadline& deadline, const FetchLimits& limits,
              const ResponseHead& head, std::string& buffer, Exchange& exchange) {
  BodyReader reader(head, limits.max_bytes, exchange.body);
  FetchError* error = &exchange.error;
  if (!reader.Feed(buffer, error)) return;
  char block[kReadBlock];
  while (true) {
    const long got = deadline.Passed() ? -1 : connection.Receive(block, sizeof block, deadline, error);
    if (got < 0) {
      NoteTimeout(deadline, limits, error);
      return;
    }
    if (got == 0) return reader.Closed(error);
    if (!reader.Feed(std::string_view(block, static_cast<std::size_t>(got)), error)) return;
  }
}

Exchange RunExchange(const HttpTarget& target, const FetchLimits& limits, const Deadline& deadline,
                     bool own_network) {
  Exchange exchange;
  HttpConnection connection;
  const bool connected =
      connection.Connect(target.host, target.port, limits.connect_timeout_ms, deadline, own_network, &exchange.error);
  exchange.peer_in_own_network = connection.PeerInOwnNetwork();
  if (!connected ||
      !connection.SendAll(RequestFor(target), deadline, &exchange.error)) {
    NoteTimeout(deadline, limits, &exchange.error);
    return exchange;
  }
  std::string buffer;
  const std::optional<ResponseHead> head = ReadHead(connection, deadline, limits, buffer, &exchange.error);
  if (!head) return exchange;
  exchange.answered = true;
  exchange.status = head->status;
  exchange.content_type = head->Header("content-type");
  exchange.location = head->Header("location");
  exchange.retry_after = head->Header("retry-after");
  if (IsRedirect(exchange.status) && !exchange.location.empty()) return exchange;  // body unused
  ReadBody(connection, deadline, limits, *head, buffer, exchange);
  return exchange;
}

}  // namespace

bool IsPlainHttpUrl(std::string_view url) {
  url = WithoutBlanks(url);
  return EqualsIgnoringCase(SchemeOf(url), "http") && url.substr(5).starts_with("//");
}

PlainHttpFetch FetchPlainHttp(const std::string& url, const FetchLimits& limits) {
  PlainHttpFetch fetch;
  FetchResult& result = fetch.result;
  result.final_url = url;
  const Deadline deadline(limits.total_timeout_ms);
  std::string current = EncodeRequestUrl(url);
  bool own_network = true;
  while (true) {
    const std::optional<HttpTarget> target = SplitHttpUrl(current);
    if (!target) {
      result.error = "malformed URL: " + current;
      result.failure = FetchFailure::kBadAddress;
      return fetch;
    }
    Exchange exchange = RunExchange(*target, limits, deadline, own_network);
    // Once a page came from the public internet, no redirect leads into the own network.
    own_network = own_network && exchange.peer_in_own_network;
    if (!exchange.answered || !IsRedirect(exchange.status) || exchange.location.empty()) {
      result.received = exchange.answered;
      result.status = exchange.status;
      result.content_type = std::move(exchange.content_type);
      result.body = std::move(exchange.body);
      result.error = std::move(exchange.error.text);
      result.failure = exchange.error.kind;
      if (!exchange.retry_after.empty())
        result.retry_after_seconds = RetryAfterSeconds(exchange.retry_after, std::time(nullptr));
      return fetch;
    }
    if (fetch.redirects == kMaxRedirects) {
      result.error = "more than " + std::to_string(kMaxRedirects) + " redirects";
      result.failure = FetchFailure::kRefusedRedirect;
      return fetch;
    }
    current = ResolveUrl(current, exchange.location);
    ++fetch.redirects;
    result.final_url = current;
    if (IsPlainHttpUrl(current)) continue;
    if (EqualsIgnoringCase(SchemeOf(current), "https")) fetch.hand_over_url = current;
    else result.error = "redirect to an address that is not a web page: " + current;
    if (fetch.hand_over_url.empty()) result.failure = FetchFailure::kRefusedRedirect;
    return fetch;
  }
}

}  // namespace pitrel

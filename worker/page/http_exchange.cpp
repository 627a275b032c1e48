#include "worker/page/http_exchange.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <memory>

namespace pitrel {
namespace {

constexpr std::size_t kMaxHeadBytes = 64 * 1024;
constexpr std::size_t kReadBlock = 16 * 1024;

std::string LowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool HasNoBody(int status) { return status == 204 || status == 304 || (status >= 100 && status < 200); }

// Whether what arrived so far can still be the start of an HTTP/1.x status line.
bool CouldBeStatusLine(std::string_view received) {
  constexpr std::string_view kStart = "HTTP/1.";
  const std::size_t n = std::min(received.size(), kStart.size());
  return received.substr(0, n) == kStart.substr(0, n);
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

}  // namespace

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

void NoteTimeout(const Deadline& deadline, const FetchLimits& limits, FetchError* error) {
  if (deadline.Passed())
    error->Set(FetchFailure::kTimedOut, "timed out after " + std::to_string(limits.total_timeout_ms) + " ms");
}

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

Exchange RunExchange(HttpConnection& connection, const std::string& request, const Deadline& deadline,
                     const FetchLimits& limits) {
  Exchange exchange;
  if (!connection.SendAll(request, deadline, &exchange.error)) {
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

}  // namespace pitrel

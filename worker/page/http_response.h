// Reading an HTTP/1.x response: the head, the body's framing (chunked or
// not) and its content coding (gzip, deflate). Each piece is fed bytes as
// they arrive, so a body is never held twice and a cap can stop it early.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pitrel {

struct ResponseHead {
  int status = 0;
  std::vector<std::pair<std::string, std::string>> headers;  // names lower-case

  // The first value of the header, or empty.
  std::string Header(std::string_view lower_case_name) const;
};

// Length of the head in buffer including the blank line that ends it, or 0
// while the blank line has not arrived. Bare LF line ends are tolerated.
std::size_t HeadLength(std::string_view buffer);

// The status line and headers; nothing when the status line is not HTTP/1.x.
// Folded header lines are joined to the header before them.
std::optional<ResponseHead> ParseResponseHead(std::string_view head);

// The wait a Retry-After value asks for, in seconds from now: a number of
// seconds, or an HTTP date (any of the three forms HTTP allows) turned into
// the seconds until then, never negative. Nothing when it is neither.
std::optional<long> RetryAfterSeconds(std::string_view value, std::time_t now);

// Undoes Transfer-Encoding: chunked. Chunk extensions and trailers are skipped.
class ChunkedDecoder {
 public:
  // Appends the data carried by input to out; false when the framing is broken.
  bool Feed(std::string_view input, std::string& out);
  bool Done() const { return state_ == State::kDone; }

 private:
  enum class State { kSize, kData, kDataEnd, kTrailer, kDone };
  bool TakeLine(std::string_view& input, std::string& line_out);

  State state_ = State::kSize;
  std::string line_;
  std::size_t remaining_ = 0;
};

// Undoes Content-Encoding gzip or deflate (zlib-wrapped or raw); any other
// coding is passed through as it came.
class ContentDecoder {
 public:
  explicit ContentDecoder(std::string_view content_encoding);
  ContentDecoder(const ContentDecoder&) = delete;
  ContentDecoder& operator=(const ContentDecoder&) = delete;
  ~ContentDecoder();

  // Appends the decoded form of input to out, stopping once out holds limit
  // bytes; false with error when the data is corrupt.
  bool Feed(std::string_view input, std::string& out, std::size_t limit, std::string* error);
  // True when compressed data ended before its end marker.
  bool Unfinished() const { return inflating_ && !finished_; }

 private:
  bool Inflate(std::string_view input, std::string& out, std::size_t limit, std::string* error);
  bool RestartAsRawDeflate(std::string* error);

  bool inflating_ = false;
  bool finished_ = false;
  bool produced_ = false;  // whether any output came yet, so raw deflate can still be tried
  bool raw_tried_ = false;
  std::string before_output_;  // input kept until output appears, to replay as raw deflate
  z_stream stream_{};
};

}  // namespace pitrel

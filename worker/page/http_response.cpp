#include "worker/page/http_response.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace pitrel {
namespace {

constexpr std::size_t kMaxChunkLine = 4096;
constexpr std::size_t kInflateStep = 16 * 1024;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Splits text into lines without their CR LF or LF.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// "HTTP/1.1 200 OK" -> 200; nothing for anything else.
std::optional<int> StatusOf(std::string_view line) {
  if (line.size() < 12 || line.substr(0, 7) != "HTTP/1." || line[8] != ' ') return std::nullopt;
  const std::string_view code = line.substr(9, 3);
  if (!std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  if (line.size() > 12 && line[12] != ' ') return std::nullopt;
  return (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
}

bool IsDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view digits) {
  int value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

// The pieces of an HTTP date, in whichever order its form writes them.
struct DateParts {
  int day = -1, month = -1, year = -1, hour = -1, minute = -1, second = -1;
};

void ReadClock(std::string_view token, DateParts& parts) {
  if (token.size() != 8 || token[2] != ':' || token[5] != ':') return;
  const std::string_view h = token.substr(0, 2), m = token.substr(3, 2), s = token.substr(6, 2);
  if (IsDigits(h) && IsDigits(m) && IsDigits(s))
    parts.hour = Number(h), parts.minute = Number(m), parts.second = Number(s);
}

int MonthIndex(std::string_view token) {
  static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                 "jul", "aug", "sep", "oct", "nov", "dec"};
  const std::string name = LowerCase(token.substr(0, 3));
  for (int i = 0; i < 12; ++i)
    if (token.size() >= 3 && name == kMonths[i]) return i;
  return -1;
}

// "Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT" or
// "Sun Nov  6 08:49:37 1994"; the weekday is not checked.
std::optional<std::time_t> ParseHttpDate(std::string_view text) {
  DateParts parts;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of(" ,-"), text.size());
    const std::string_view token = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (token.find(':') != std::string_view::npos) ReadClock(token, parts);
    else if (IsDigits(token) && token.size() <= 2 && parts.day < 0) parts.day = Number(token);
    else if (IsDigits(token)) parts.year = Number(token);
    else if (const int month = MonthIndex(token); month >= 0) parts.month = month;
  }
  if (parts.year >= 0 && parts.year < 100) parts.year += parts.year < 70 ? 2000 : 1900;
  if (parts.day < 1 || parts.day > 31 || parts.month < 0 || parts.year < 1970 || parts.hour < 0 ||
      parts.hour > 23 || parts.minute > 59 || parts.second > 60)
    return std::nullopt;
  std::tm tm{};
  tm.tm_year = parts.year - 1900;
  tm.tm_mon = parts.month;
  tm.tm_mday = parts.day;
  tm.tm_hour = parts.hour;
  tm.tm_min = parts.minute;
  tm.tm_sec = parts.second;
  return timegm(&tm);
}

}  // namespace

std::optional<long> RetryAfterSeconds(std::string_view value, std::time_t now) {
  value = Trimmed(value);
  constexpr long kLongest = 1'000'000'000;  // beyond any wait worth keeping exact
  if (IsDigits(value)) {
    long seconds = 0;
    const auto [end, code] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    return code == std::errc() ? std::min(seconds, kLongest) : kLongest;
  }
  const std::optional<std::time_t> when = ParseHttpDate(value);
  if (!when) return std::nullopt;
  return std::clamp<long>(static_cast<long>(*when - now), 0, kLongest);
}

std::string ResponseHead::Header(std::string_view lower_case_name) const {
  for (const auto& [name, value] : headers)
    if (name == lower_case_name) return value;
  return {};
}

std::size_t HeadLength(std::string_view buffer) {
  for (std::size_t newline = buffer.find('\n'); newline != std::string_view::npos;
       newline = buffer.find('\n', newline + 1)) {
    const std::size_t next = newline + 1;
    if (next < buffer.size() && buffer[next] == '\n') return next + 1;
    if (next + 1 < buffer.size() && buffer[next] == '\r' && buffer[next + 1] == '\n')
      return next + 2;
  }
  return 0;
}

std::optional<ResponseHead> ParseResponseHead(std::string_view head) {
  const std::vector<std::string_view> lines = Lines(head);
  if (lines.empty()) return std::nullopt;
  const std::optional<int> status = StatusOf(lines.front());
  if (!status) return std::nullopt;
  ResponseHead parsed;
  parsed.status = *status;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.empty()) break;
    if ((line.front() == ' ' || line.front() == '\t') && !parsed.headers.empty()) {
      parsed.headers.back().second += ' ';
      parsed.headers.back().second += Trimmed(line);
      continue;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) continue;  // not a header: skipped
    parsed.headers.emplace_back(LowerCase(Trimmed(line.substr(0, colon))),
                                std::string(Trimmed(line.substr(colon + 1))));
  }
  return parsed;
}

bool ChunkedDecoder::TakeLine(std::string_view& input, std::string& line_out) {
  const std::size_t newline = input.find('\n');
  line_.append(input.substr(0, newline));
  if (newline == std::string_view::npos) {
    input = {};
    return false;
  }
  input.remove_prefix(newline + 1);
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  line_out.swap(line_);
  line_.clear();
  return true;
}

bool ChunkedDecoder::Feed(std::string_view input, std::string& out) {
  std::string line;
  while (!input.empty() && state_ != State::kDone) {
    if (state_ == State::kData) {
      const std::size_t take = std::min(remaining_, input.size());
      out.append(input.substr(0, take));
      input.remove_prefix(take);
      remaining_ -= take;
      if (remaining_ == 0) state_ = State::kDataEnd;
      continue;
    }
    if (!TakeLine(input, line)) return line_.size() <= kMaxChunkLine;
    if (state_ == State::kDataEnd) {
      if (!line.empty()) return false;  // chunk longer than its size said
      state_ = State::kSize;
    } else if (state_ == State::kTrailer) {
      if (line.empty()) state_ = State::kDone;
    } else {
      const std::string_view size_text = Trimmed(std::string_view(line).substr(0, line.find(';')));
      const auto [end, code] =
          std::from_chars(size_text.data(), size_text.data() + size_text.size(), remaining_, 16);
      if (code != std::errc() || end != size_text.data() + size_text.size() || size_text.empty())
        return false;
      state_ = remaining_ == 0 ? State::kTrailer : State::kData;
    }
  }
  return true;
}

ContentDecoder::ContentDecoder(std::string_view content_encoding) {
  const std::string coding = LowerCase(Trimmed(content_encoding));
  if (coding != "gzip" && coding != "x-gzip" && coding != "deflate") return;
  inflating_ = inflateInit2(&stream_, 15 + 32) == Z_OK;  // zlib or gzip, detected
}

ContentDecoder::~ContentDecoder() {
  if (inflating_) inflateEnd(&stream_);
}

bool ContentDecoder::RestartAsRawDeflate(std::string* error) {
  raw_tried_ = true;
  inflateEnd(&stream_);
  stream_ = z_stream{};
  if (inflateInit2(&stream_, -15) != Z_OK) {
    inflating_ = false;
    *error = "could not start decompression";
    return false;
  }
  return true;
}

bool ContentDecoder::Feed(std::string_view input, std::string& out, std::size_t limit,
                          std::string* error) {
  if (!inflating_) {
    out.append(input.substr(0, limit - std::min(limit, out.size())));
    return true;
  }
  if (finished_) return true;  // anything after the end marker is ignored
  if (!produced_ && !raw_tried_) before_output_.append(input);
  if (Inflate(input, out, limit, error)) return true;
  if (produced_ || raw_tried_ || !RestartAsRawDeflate(error)) return false;
  // Some servers send "deflate" without the zlib wrapper: replay it raw.
  const std::string replay = std::move(before_output_);
  error->clear();
  return Inflate(replay, out, limit, error);
}

bool ContentDecoder::Inflate(std::string_view input, std::string& out, std::size_t limit,
                             std::string* error) {
  stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  stream_.avail_in = static_cast<uInt>(input.size());
  while (out.size() < limit && !finished_) {
    const std::size_t step = std::min(kInflateStep, limit - out.size());
    const std::size_t old_size = out.size();
    out.resize(old_size + step);
    stream_.next_out = reinterpret_cast<Bytef*>(out.data() + old_size);
    stream_.avail_out = static_cast<uInt>(step);
    const int code = inflate(&stream_, Z_NO_FLUSH);
    out.resize(old_size + step - stream_.avail_out);
    if (out.size() > old_size && !produced_) {
      produced_ = true;
      before_output_.clear();
    }
    if (code == Z_STREAM_END) finished_ = true;
    else if (code == Z_BUF_ERROR) break;  // needs more input
    else if (code != Z_OK) {
      *error = "corrupt compressed body";
      return false;
    }
    if (stream_.avail_in == 0 && stream_.avail_out != 0) break;
  }
  return true;
}

}  // namespace pitrel

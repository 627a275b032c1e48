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

}  // namespace

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
    if (next + 1 < buffer.size() && buffer[next] == '\r' && buffer[next + 1] == '\n') return next + 2;
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

#include "worker/page/charset.h"

#include "worker/page/gb18030.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pitrel {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::size_t kPrescanBytes = 1024;

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

bool IsLabelSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string_view TrimLabel(std::string_view label) {
  while (!label.empty() && (IsLabelSpace(label.front()) || label.front() == '"' || label.front() == '\''))
    label.remove_prefix(1);
  while (!label.empty() && (IsLabelSpace(label.back()) || label.back() == '"' || label.back() == '\''))
    label.remove_suffix(1);
  return label;
}

// Maps a charset label to the name iconv knows, or "" for no usable label.
// The GB2312/GBK family all read as GB18030: pages labelled gb2312 routinely
// hold GBK-only characters, and GB18030 is a superset of both.
std::string NormalizeLabel(std::string_view raw) {
  const std::string label = LowerAscii(TrimLabel(raw));
  if (label.empty()) return "";
  static constexpr std::string_view kChinese[] = {
      "gb2312", "gbk", "x-gbk", "chinese", "csgb2312", "iso-ir-58", "gb_2312", "gb_2312-80",
      "csiso58gb231280", "cp936", "windows-936", "ms936", "gb18030", "euc-cn", "x-euc-cn"};
  if (std::find(std::begin(kChinese), std::end(kChinese), label) != std::end(kChinese))
    return "GB18030";
  if (label == "utf-8" || label == "utf8" || label == "unicode-1-1-utf-8") return "UTF-8";
  if (label == "utf-16" || label == "utf-16le" || label == "unicode") return "UTF-16LE";
  if (label == "utf-16be") return "UTF-16BE";
  // Browsers read these as windows-1252, which is a superset.
  if (label == "iso-8859-1" || label == "latin1" || label == "us-ascii" || label == "ascii")
    return "WINDOWS-1252";
  std::string upper(label);
  for (char& c : upper) c = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
  return upper;
}

std::string CharsetFromBom(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return "UTF-8";
  if (bytes.starts_with("\xFE\xFF")) return "UTF-16BE";
  if (bytes.starts_with("\xFF\xFE")) return "UTF-16LE";
  return "";
}

std::size_t BomLength(std::string_view bytes, std::string_view charset) {
  if (charset == "UTF-8" && bytes.starts_with("\xEF\xBB\xBF")) return 3;
  if (charset == "UTF-16BE" && bytes.starts_with("\xFE\xFF")) return 2;
  if (charset == "UTF-16LE" && bytes.starts_with("\xFF\xFE")) return 2;
  return 0;
}

// The value after "charset" (and '=') in an already lower-cased text.
std::string_view CharsetParameter(std::string_view lowered) {
  std::size_t at = lowered.find("charset");
  if (at == std::string_view::npos) return {};
  std::size_t i = at + 7;
  while (i < lowered.size() && IsLabelSpace(lowered[i])) ++i;
  if (i >= lowered.size() || lowered[i] != '=') return {};
  ++i;
  while (i < lowered.size() && (IsLabelSpace(lowered[i]) || lowered[i] == '"' || lowered[i] == '\'')) ++i;
  std::size_t end = i;
  while (end < lowered.size() && !IsLabelSpace(lowered[end]) &&
         std::strchr("\"';>/", lowered[end]) == nullptr)
    ++end;
  return lowered.substr(i, end - i);
}

// A <meta charset=...> or <meta http-equiv content="...; charset=..."> in the
// first bytes of the page.
std::string CharsetFromMeta(std::string_view bytes) {
  const std::string head = LowerAscii(bytes.substr(0, std::min(bytes.size(), kPrescanBytes)));
  for (std::size_t at = head.find("<meta"); at != std::string::npos; at = head.find("<meta", at + 5)) {
    std::size_t end = head.find('>', at);
    std::string_view tag = std::string_view(head).substr(at, end == std::string::npos ? end : end - at);
    std::string label = NormalizeLabel(CharsetParameter(tag));
    if (!label.empty()) return label;
  }
  return "";
}

// Appends UTF-8 text, replacing every malformed sequence by U+FFFD.
void AppendValidUtf8(std::string_view in, std::string& out,
                     std::string_view replacement = kReplacement) {
  std::size_t i = 0;
  while (i < in.size()) {
    const unsigned char c = in[i];
    if (c < 0x80) {
      out.push_back(char(c));
      ++i;
      continue;
    }
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    }
    int taken = 1;
    bool valid = length > 0;
    for (; valid && taken < length; ++taken) {
      if (i + taken >= in.size()) { valid = false; break; }
      const unsigned char next = in[i + taken];
      const unsigned char lo = taken == 1 ? low : 0x80, hi = taken == 1 ? high : 0xBF;
      if (next < lo || next > hi) { valid = false; break; }
    }
    if (valid) {
      out.append(in.substr(i, length));
      i += length;
    } else {
      out.append(replacement);
      i += std::max(taken, 1);
    }
  }
}

class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as it can; returns false and stops at the first byte it
  // cannot convert (at_error tells how far it got).
  bool Convert(std::string_view in, std::string& out, std::size_t& consumed) {
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char buffer[16384];
    while (src_left > 0) {
      char* dst = buffer;
      std::size_t dst_left = sizeof buffer;
      const std::size_t rc = iconv(handle_, &src, &src_left, &dst, &dst_left);
      out.append(buffer, dst - buffer);
      if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
        consumed = in.size() - src_left;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        return false;
      }
    }
    consumed = in.size();
    return true;
  }

 private:
  iconv_t handle_;
};

// Converts bytes with iconv, writing U+FFFD for each byte it refuses.
void AppendConverted(std::string_view bytes, Converter& converter, std::string& out) {
  while (!bytes.empty()) {
    std::size_t consumed = 0;
    if (converter.Convert(bytes, out, consumed)) break;
    bytes.remove_prefix(consumed);
    out.append(kReplacement);
    bytes.remove_prefix(1);
  }
}

std::string DecodeGb18030(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  AppendGb18030AsUtf8(bytes, out);
  return out;
}

}  // namespace

std::string DetectCharset(std::string_view bytes, std::string_view content_type) {
  if (std::string bom = CharsetFromBom(bytes); !bom.empty()) return bom;
  if (std::string header = NormalizeLabel(CharsetParameter(LowerAscii(content_type))); !header.empty())
    return header;
  if (std::string meta = CharsetFromMeta(bytes); !meta.empty()) return meta;
  return "GB18030";
}

std::string DecodeToUtf8(std::string_view bytes, std::string_view charset_name) {
  std::string charset = NormalizeLabel(charset_name);
  if (charset.empty()) charset = "GB18030";
  bytes.remove_prefix(BomLength(bytes, charset));
  std::string out;
  if (charset == "UTF-8") {
    out.reserve(bytes.size());
    AppendValidUtf8(bytes, out);
    return out;
  }
  if (charset == "GB18030") return DecodeGb18030(bytes);
  Converter converter("UTF-8", charset.c_str());
  if (!converter.ok()) return DecodeGb18030(bytes);
  out.reserve(bytes.size() + bytes.size() / 2);
  AppendConverted(bytes, converter, out);
  return out;
}

std::string DecodePage(std::string_view bytes, std::string_view content_type) {
  return DecodeToUtf8(bytes, DetectCharset(bytes, content_type));
}

std::string EncodeGb18030(std::string_view utf8) {
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return std::string(utf8);
  std::string valid;
  valid.reserve(utf8.size());
  AppendValidUtf8(utf8, valid, "?");
  std::string out;
  out.reserve(valid.size());
  AppendUtf8AsGb18030(valid, out);
  return out;
}

}  // namespace pitrel

#include "worker/page/url_encoding.h"

#include "worker/page/charset.h"

namespace pitrel {
namespace {

bool NeedsEscape(unsigned char c, UrlPart part) {
  if (c <= 0x20 || c >= 0x7F) return true;
  switch (c) {
    case '"': case '<': case '>': return true;
    case '`': return part != UrlPart::kQuery;
    case '{': case '}': return part == UrlPart::kPath;
    default: return false;
  }
}

void AppendEscaped(std::string& out, unsigned char c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out.push_back('%');
  out.push_back(kHex[c >> 4]);
  out.push_back(kHex[c & 15]);
}

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = i + 2 < text.size() && text[i] == '%' ? HexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
    if (low >= 0) {
      out.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

void AppendPercentEncoded(std::string& out, std::string_view text, UrlPart part) {
  std::string gb_bytes;
  if (part == UrlPart::kQuery && !IsAscii(text)) {
    gb_bytes = EncodeGb18030(text);
    text = gb_bytes;
  }
  for (unsigned char c : text) {
    if (NeedsEscape(c, part)) AppendEscaped(out, c);
    else out.push_back(char(c));
  }
}

std::string EncodeRequestUrl(std::string_view url) {
  url = TrimBlanks(url);
  std::string_view fragment, query;
  if (std::size_t hash = url.find('#'); hash != std::string_view::npos) {
    fragment = url.substr(hash);
    url = url.substr(0, hash);
  }
  if (std::size_t mark = url.find('?'); mark != std::string_view::npos) {
    query = url.substr(mark);
    url = url.substr(0, mark);
  }
  std::string out;
  out.reserve(url.size() + query.size() + fragment.size() + 16);
  AppendPercentEncoded(out, url, UrlPart::kPath);
  AppendPercentEncoded(out, query, UrlPart::kQuery);
  AppendPercentEncoded(out, fragment, UrlPart::kFragment);
  return out;
}

}  // namespace pitrel

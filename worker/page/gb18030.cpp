#include "worker/page/gb18030.h"

#include "worker/page/utf8.h"

#include <algorithm>
#include <cstdint>

namespace pitrel {
namespace {

#include "gb18030_tables.inc"

constexpr std::uint32_t kFirstBeyondBmpIndex = 189000;  // the four bytes 0x90308130

// The code point of the character at bytes[at] and its length, or 0.
std::uint32_t CharacterAt(std::string_view bytes, std::size_t at, std::size_t* length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
  const std::size_t left = bytes.size() - at;
  const unsigned lead = byte(0);
  if (lead < 0x81 || lead > 0xFE || left < 2) return 0;
  const unsigned second = byte(1);
  if (second >= 0x40 && second <= 0xFE) {
    *length = 2;
    return kGbTwoByte[(lead - 0x81) * 191 + (second - 0x40)];
  }
  if (second < 0x30 || second > 0x39 || left < 4) return 0;
  const unsigned third = byte(2), fourth = byte(3);
  if (third < 0x81 || third > 0xFE || fourth < 0x30 || fourth > 0x39) return 0;
  const std::uint32_t index =
      (((lead - 0x81) * 10 + (second - 0x30)) * 126 + (third - 0x81)) * 10 + (fourth - 0x30);
  *length = 4;
  if (index < std::size(kGbFourByteBmp)) return kGbFourByteBmp[index];
  if (lead < 0x90 || lead > 0xE3) return 0;
  const std::uint32_t code = 0x10000 + (index - kFirstBeyondBmpIndex);
  return code <= 0x10FFFF ? code : 0;
}

void AppendFourBytes(std::uint32_t index, std::string& out) {
  out.push_back(char(0x81 + index / 12600));
  out.push_back(char(0x30 + index / 1260 % 10));
  out.push_back(char(0x81 + index / 10 % 126));
  out.push_back(char(0x30 + index % 10));
}

// The GB18030 bytes of one code point; false where there are none.
bool AppendCharacter(std::uint32_t code, std::string& out) {
  if (code < 0x80) {
    out.push_back(char(code));
    return true;
  }
  if (code < 0x10000) {
    const std::uint32_t gb = kGbFromBmp[code];
    if (gb == 0) return false;
    if (gb & 0x80000000u) {
      AppendFourBytes(gb & 0x7FFFFFFFu, out);
    } else if (gb > 0xFF) {
      out.push_back(char(gb >> 8));
      out.push_back(char(gb & 0xFF));
    } else {
      out.push_back(char(gb));
    }
    return true;
  }
  for (std::size_t i = 0; i + 1 < std::size(kGbBeyondBmpTwoByte); i += 2) {
    if (kGbBeyondBmpTwoByte[i] == code) {
      out.push_back(char(kGbBeyondBmpTwoByte[i + 1] >> 8));
      out.push_back(char(kGbBeyondBmpTwoByte[i + 1] & 0xFF));
      return true;
    }
  }
  if (code > 0x10FFFF) return false;
  AppendFourBytes(kFirstBeyondBmpIndex + (code - 0x10000), out);
  return true;
}

}  // namespace

void AppendGb18030AsUtf8(std::string_view bytes, std::string& out) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const unsigned char c = static_cast<unsigned char>(bytes[at]);
    if (c < 0x80) {
      std::size_t end = at + 1;
      while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) < 0x80) ++end;
      out.append(bytes.substr(at, end - at));
      at = end;
      continue;
    }
    std::size_t length = 1;
    const std::uint32_t code = CharacterAt(bytes, at, &length);
    if (code == 0) {
      out.append(c == 0x80 ? "\xE2\x82\xAC" : "\xEF\xBF\xBD");
      ++at;
      continue;
    }
    AppendUtf8(code, out);
    at += length;
  }
}

void AppendUtf8AsGb18030(std::string_view valid_utf8, std::string& out) {
  std::size_t at = 0;
  while (at < valid_utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(valid_utf8[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::uint32_t code = length == 1   ? lead
                         : length == 2 ? lead & 0x1F
                         : length == 3 ? lead & 0x0F
                                       : lead & 0x07;
    for (std::size_t i = 1; i < length && at + i < valid_utf8.size(); ++i)
      code = (code << 6) | (static_cast<unsigned char>(valid_utf8[at + i]) & 0x3F);
    if (!AppendCharacter(code, out)) out.push_back('?');
    at += length;
  }
}

}  // namespace pitrel

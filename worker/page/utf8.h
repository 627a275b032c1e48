// The two UTF-8 chores the page layer shares: writing a code point and
// telling how long a well-formed sequence is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pitrel {

inline void AppendUtf8(std::uint32_t code, std::string& out) {
  if (code < 0x80) {
    out.push_back(char(code));
  } else if (code < 0x800) {
    out.push_back(char(0xC0 | (code >> 6)));
    out.push_back(char(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(char(0xE0 | (code >> 12)));
    out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(char(0x80 | (code & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (code >> 18)));
    out.push_back(char(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(char(0x80 | (code & 0x3F)));
  }
}

// Length of the well-formed UTF-8 sequence at s[at] (no overlong forms, no
// surrogates, nothing past U+10FFFF), or 0.
inline std::size_t Utf8SequenceLength(std::string_view s, std::size_t at) {
  const auto byte = [&](std::size_t i) {
    return at + i < s.size() ? static_cast<unsigned char>(s[at + i]) : 0u;
  };
  const auto follows = [&](std::size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
    return byte(i) >= low && byte(i) <= high;
  };
  const unsigned lead = byte(0);
  if (lead < 0x80) return at < s.size() ? 1 : 0;
  if (lead >= 0xC2 && lead <= 0xDF) return follows(1) ? 2 : 0;
  if (lead == 0xE0) return follows(1, 0xA0) && follows(2) ? 3 : 0;
  if (lead == 0xED) return follows(1, 0x80, 0x9F) && follows(2) ? 3 : 0;
  if (lead >= 0xE1 && lead <= 0xEF) return follows(1) && follows(2) ? 3 : 0;
  if (lead == 0xF0) return follows(1, 0x90) && follows(2) && follows(3) ? 4 : 0;
  if (lead >= 0xF1 && lead <= 0xF3) return follows(1) && follows(2) && follows(3) ? 4 : 0;
  if (lead == 0xF4) return follows(1, 0x80, 0x8F) && follows(2) && follows(3) ? 4 : 0;
  return 0;
}

}  // namespace pitrel

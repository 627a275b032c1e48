#include "tools/sample_market/gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace sample_market {
namespace {

// Converts with iconv, replacing each unconvertible input unit.
std::string Convert(std::string_view input, const char* to, const char* from,
                    std::string_view replacement, std::size_t skip_on_error) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string out;
  out.reserve(input.size() + input.size() / 2);
  char buffer[4096];
  char* in_ptr = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  while (in_left > 0) {
    char* out_ptr = buffer;
    std::size_t out_left = sizeof buffer;
    std::size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    out.append(buffer, out_ptr - buffer);
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out.append(replacement);
      std::size_t skip = std::min(skip_on_error, in_left);
      // Skip one whole UTF-8 sequence when the source is UTF-8.
      if (skip_on_error == 0) {
        skip = 1;
        while (skip < in_left && (static_cast<unsigned char>(in_ptr[skip]) & 0xC0) == 0x80) ++skip;
      }
      in_ptr += skip;
      in_left -= skip;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string ToGbk(std::string_view utf8) { return Convert(utf8, "GB18030", "UTF-8", "?", 0); }

std::string FromGbk(std::string_view gbk) {
  return Convert(gbk, "UTF-8", "GB18030", "\xEF\xBF\xBD", 1);
}

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = text[i];
    std::size_t extra = 0;
    if (lead < 0x80) {
      extra = 0;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3;
    } else {
      return false;
    }
    if (i + extra >= text.size() && extra > 0) return false;  // cut short
    for (std::size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

std::string AsUtf8(std::string_view bytes) {
  return IsValidUtf8(bytes) ? std::string(bytes) : FromGbk(bytes);
}

std::size_t GbkSize(std::string_view utf8) {
  std::size_t size = 0;
  for (unsigned char c : utf8) {
    if (c < 0x80) {
      size += 1;
    } else if ((c & 0xC0) != 0x80) {
      size += 2;  // lead byte of a multi-byte character
    }
  }
  return size;
}

}  // namespace sample_market

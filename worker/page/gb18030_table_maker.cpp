// Writes the GB18030 mapping tables the worker decodes and encodes with, as
// the system's iconv converts: the build runs this once, so every worker reads
// GB18030 exactly as iconv would without loading iconv's converter module.
//
//   gb18030_table_maker OUTPUT.inc
#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The code point of one GB18030 sequence, or 0 where iconv refuses it.
std::uint32_t Decode(iconv_t to_utf32, const std::string& bytes) {
  iconv(to_utf32, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  std::uint32_t out[4] = {};
  char* out_at = reinterpret_cast<char*>(out);
  std::size_t out_left = sizeof out;
  if (iconv(to_utf32, &in, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1) || in_left != 0 ||
      out_left != sizeof out - 4)
    return 0;
  return out[0];
}

// The GB18030 bytes iconv writes for one code point; empty where it has none.
std::string Encode(iconv_t from_utf32, std::uint32_t code) {
  iconv(from_utf32, nullptr, nullptr, nullptr, nullptr);
  char* in = reinterpret_cast<char*>(&code);
  std::size_t in_left = 4;
  char out[8] = {};
  char* out_at = out;
  std::size_t out_left = sizeof out;
  if (iconv(from_utf32, &in, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1)) return {};
  return std::string(out, sizeof out - out_left);
}

void WriteTable(std::FILE* file, const char* name, const std::vector<std::uint32_t>& values) {
  std::fprintf(file, "inline constexpr std::uint32_t %s[%zu] = {\n", name, values.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    std::fprintf(file, "%u,%s", values[i], i % 16 == 15 ? "\n" : "");
  std::fprintf(file, "};\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gb18030_table_maker OUTPUT.inc\n");
    return 2;
  }
  iconv_t to_utf32 = iconv_open("UTF-32LE", "GB18030");
  if (to_utf32 == reinterpret_cast<iconv_t>(-1)) {
    std::perror("iconv_open GB18030");
    return 1;
  }
  // Two bytes: lead 0x81..0xFE, trail 0x40..0xFE.
  std::vector<std::uint32_t> two_byte(126 * 191);
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail)
      two_byte[(lead - 0x81) * 191 + (trail - 0x40)] = Decode(to_utf32, {char(lead), char(trail)});
  // Four bytes from 0x81308130 to 0x8439FE39: the rest of the basic plane.
  std::vector<std::uint32_t> four_byte(4 * 10 * 126 * 10);
  for (std::size_t index = 0; index < four_byte.size(); ++index) {
    const std::string bytes = {char(0x81 + index / 12600), char(0x30 + index / 1260 % 10),
                               char(0x81 + index / 10 % 126), char(0x30 + index % 10)};
    four_byte[index] = Decode(to_utf32, bytes);
  }
  // And back, as iconv encodes: for each basic-plane code point one byte, two
  // bytes (as lead * 256 + trail) or 0x80000000 + the four-byte index; 0
  // where iconv has nothing.
  iconv_t from_utf32 = iconv_open("GB18030", "UTF-32LE");
  if (from_utf32 == reinterpret_cast<iconv_t>(-1)) {
    std::perror("iconv_open GB18030");
    return 1;
  }
  std::vector<std::uint32_t> from_bmp(0x10000);
  for (std::uint32_t code = 1; code < 0x10000; ++code) {
    if (code >= 0xD800 && code <= 0xDFFF) continue;
    const std::string bytes = Encode(from_utf32, code);
    const auto* out = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t length = bytes.size();
    if (length == 1) from_bmp[code] = out[0];
    if (length == 2) from_bmp[code] = out[0] * 256u + out[1];
    if (length == 4 && out[0] <= 0x84)
      from_bmp[code] = 0x80000000u + (((out[0] - 0x81u) * 10 + (out[1] - 0x30u)) * 126 + (out[2] - 0x81u)) * 10 +
                       (out[3] - 0x30u);
  }
  // Code points beyond the basic plane that iconv writes as two bytes, as
  // pairs (code point, lead * 256 + trail) by code point; the others take
  // four bytes by rule.
  std::vector<std::uint32_t> beyond_bmp;
  std::vector<std::uint32_t> codes;
  for (std::uint32_t code : two_byte)
    if (code > 0xFFFF) codes.push_back(code);
  std::sort(codes.begin(), codes.end());
  codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
  for (std::uint32_t code : codes) {
    const std::string bytes = Encode(from_utf32, code);
    if (bytes.size() != 2) continue;
    beyond_bmp.push_back(code);
    beyond_bmp.push_back(static_cast<unsigned char>(bytes[0]) * 256u + static_cast<unsigned char>(bytes[1]));
  }
  iconv_close(from_utf32);
  iconv_close(to_utf32);

  std::FILE* file = std::fopen(argv[1], "w");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(file, "// Made by gb18030_table_maker from the system's iconv; do not edit.\n");
  WriteTable(file, "kGbTwoByte", two_byte);
  WriteTable(file, "kGbFourByteBmp", four_byte);
  WriteTable(file, "kGbFromBmp", from_bmp);
  if (beyond_bmp.empty()) beyond_bmp = {0, 0};  // keeps the array non-empty
  WriteTable(file, "kGbBeyondBmpTwoByte", beyond_bmp);
  return std::fclose(file) == 0 ? 0 : 1;
}

#include "worker/page/charset.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <random>

namespace pitrel {
namespace {

// "中文" in GBK and in UTF-8.
constexpr char kGbkChinese[] = "\xD6\xD0\xCE\xC4";
constexpr char kUtf8Chinese[] = "\xE4\xB8\xAD\xE6\x96\x87";

TEST(DetectCharset, ByteOrderMarkWinsOverHeaderAndMeta) {
  EXPECT_EQ(DetectCharset("\xEF\xBB\xBF<meta charset=gbk>", "text/html; charset=gbk"), "UTF-8");
  EXPECT_EQ(DetectCharset("\xFF\xFEx\0", "text/html; charset=gbk"), "UTF-16LE");
  EXPECT_EQ(DetectCharset("\xFE\xFF\0x", ""), "UTF-16BE");
}

TEST(DetectCharset, HeaderWinsOverMeta) {
  EXPECT_EQ(DetectCharset("<meta charset=gbk>", "text/html; Charset=\"UTF-8\""), "UTF-8");
  EXPECT_EQ(DetectCharset("<meta charset=utf-8>", "text/html;charset=gb2312"), "GB18030");
}

TEST(DetectCharset, MetaCharsetAndHttpEquivInFirstKilobyte) {
  EXPECT_EQ(DetectCharset("<html><META CHARSET='utf-8'>", "text/html"), "UTF-8");
  EXPECT_EQ(DetectCharset("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">", ""),
            "UTF-8");
  const std::string late = std::string(1100, ' ') + "<meta charset=utf-8>";
  EXPECT_EQ(DetectCharset(late, ""), "GB18030");
}

TEST(DetectCharset, EveryChineseLabelAndNoLabelReadAsGb18030) {
  for (const char* label : {"gb2312", "GBK", "x-gbk", "chinese", "GB18030", "cp936"})
    EXPECT_EQ(DetectCharset("", std::string("text/html; charset=") + label), "GB18030") << label;
  EXPECT_EQ(DetectCharset("<html><body>plain</body></html>", ""), "GB18030");
  EXPECT_EQ(DetectCharset("<meta charset=>", "text/html; charset="), "GB18030");
}

TEST(DecodeToUtf8, ReadsGbkAndItsEuroByte) {
  EXPECT_EQ(DecodeToUtf8(std::string("a") + kGbkChinese + "b", "GBK"), std::string("a") + kUtf8Chinese + "b");
  EXPECT_EQ(DecodeToUtf8("\x80", "gb2312"), "\xE2\x82\xAC");
  // A GBK-only character (U+4E02) in a page labelled gb2312 still decodes.
  EXPECT_EQ(DecodeToUtf8("\x81\x40", "gb2312"), "\xE4\xB8\x82");
}

TEST(DecodeToUtf8, GarbageBecomesReplacementCharactersAndTextAroundSurvives) {
  EXPECT_EQ(DecodeToUtf8("a\xFF" "b", "GB18030"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(DecodeToUtf8(std::string("x") + "\xD6", "GB18030"), "x\xEF\xBF\xBD");  // cut in a character
  EXPECT_EQ(DecodeToUtf8("a\xC3(b\xE4\xB8", "UTF-8"), "a\xEF\xBF\xBD(b\xEF\xBF\xBD");
  EXPECT_EQ(DecodeToUtf8("\xED\xA0\x80", "UTF-8").find("\xED"), std::string::npos);  // no surrogates
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise.push_back(char((i * 7919) & 0xFF));
  for (const char* charset : {"GB18030", "UTF-8", "UTF-16LE", "windows-1252"})
    EXPECT_FALSE(DecodeToUtf8(noise, charset).empty()) << charset;
}

TEST(DecodeToUtf8, DropsBomAndFallsBackOnUnknownCharset) {
  EXPECT_EQ(DecodeToUtf8("\xEF\xBB\xBFok", "UTF-8"), "ok");
  EXPECT_EQ(DecodeToUtf8(std::string("\xFF\xFEo\0k\0", 6), "UTF-16LE"), "ok");
  EXPECT_EQ(DecodeToUtf8(kGbkChinese, "no-such-charset"), kUtf8Chinese);
  EXPECT_EQ(DecodePage(kGbkChinese, ""), kUtf8Chinese);
}

// Converts all of input with iconv in one run; where iconv refuses input,
// refused(rest, out) writes what stands for it and says how much it skips.
template <typename Refused>
std::string IconvInOneRun(const char* to, const char* from, std::string_view input, Refused refused) {
  iconv_t handle = iconv_open(to, from);
  std::string out;
  while (!input.empty()) {
    char buffer[4096];
    char* src = const_cast<char*>(input.data());
    std::size_t src_left = input.size();
    char* dst = buffer;
    std::size_t dst_left = sizeof buffer;
    const std::size_t rc = iconv(handle, &src, &src_left, &dst, &dst_left);
    out.append(buffer, dst - buffer);
    input.remove_prefix(input.size() - src_left);
    if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    input.remove_prefix(refused(input, out));
  }
  iconv_close(handle);
  return out;
}

// The whole input through iconv at once, one U+FFFD per refused byte and the
// euro for a lone 0x80: what the decoder gives, however it splits its work.
std::string DecodeGb18030InOneRun(std::string_view bytes) {
  return IconvInOneRun("UTF-8", "GB18030", bytes, [](std::string_view rest, std::string& out) {
    out.append(static_cast<unsigned char>(rest.front()) == 0x80 ? "\xE2\x82\xAC" : "\xEF\xBF\xBD");
    return std::size_t{1};
  });
}

TEST(DecodeToUtf8, Gb18030MixedWithAsciiAndBrokenSequencesDecodesAsInOneRun) {
  // Bytes drawn from what matters to GB18030's shapes: ASCII, digits (the
  // four-byte form's second and fourth bytes), lead bytes, 0x80 and 0xFF.
  const unsigned char kPool[] = {'a', '<', ' ', '0', '5', '9', 0x40, 0x7E, 0x7F, 0x80, 0x81, 0x84,
                                 0x90, 0xA1, 0xB0, 0xD6, 0xFE, 0xFF, 0x30, 0x39, 0xE3, 0x32};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    const int length = static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i) bytes.push_back(static_cast<char>(kPool[random() % sizeof kPool]));
    ASSERT_EQ(DecodeToUtf8(bytes, "GB18030"), DecodeGb18030InOneRun(bytes)) << ::testing::PrintToString(bytes);
  }
  // A four-byte character (U+0080) and a two-byte one whose second byte is ASCII.
  const std::string shapes = "a\x81\x30\x81\x30" "b\x81\x40" "c";
  EXPECT_EQ(DecodeToUtf8(shapes, "GB18030"), "a\xC2\x80" "b\xE4\xB8\x82" "c");
  EXPECT_EQ(DecodeToUtf8("\x81\x40", "GB18030"), "\xE4\xB8\x82");
}

// The decoder reads from tables made with iconv; every sequence of every
// shape must still read as iconv reads it.
TEST(DecodeToUtf8, EveryTwoAndFourByteSequenceReadsAsIconvReadsIt) {
  std::string two;
  for (int lead = 0x81; lead <= 0xFF; ++lead) {
    for (int trail = 0x00; trail <= 0xFF; ++trail) {
      if (trail == 0) continue;
      two += {'.', char(lead), char(trail)};
    }
  }
  EXPECT_EQ(DecodeToUtf8(two, "GB18030"), DecodeGb18030InOneRun(two));
  std::string four;
  four.reserve(7'000'000);
  for (int first = 0x81; first <= 0xFE; ++first)
    for (int second = 0x30; second <= 0x39; ++second)
      for (int third = 0x81; third <= 0xFE; ++third)
        for (int fourth = 0x30; fourth <= 0x39; ++fourth) four += {char(first), char(second), char(third), char(fourth)};
  const std::string decoded = DecodeToUtf8(four, "GB18030");
  const std::string expected = DecodeGb18030InOneRun(four);
  EXPECT_EQ(decoded.size(), expected.size());
  EXPECT_TRUE(decoded == expected) << "first difference at byte "
                                   << std::mismatch(decoded.begin(), decoded.end(), expected.begin(), expected.end()).first - decoded.begin();
}

// iconv's encoding with the writer's rule: '?' for what it cannot write.
std::string EncodeWithIconv(const std::string& utf8) {
  return IconvInOneRun("GB18030", "UTF-8", utf8, [](std::string_view rest, std::string& out) {
    std::size_t skip = 1;
    while (skip < rest.size() && (static_cast<unsigned char>(rest[skip]) & 0xC0) == 0x80) ++skip;
    out.push_back('?');
    return skip;
  });
}

TEST(EncodeGb18030, EveryCharacterIsWrittenAsIconvWritesIt) {
  std::string utf8;
  const auto append = [&utf8](std::uint32_t code) {
    if (code < 0x800) {
      utf8 += {char(0xC0 | (code >> 6)), char(0x80 | (code & 0x3F))};
    } else if (code < 0x10000) {
      utf8 += {char(0xE0 | (code >> 12)), char(0x80 | ((code >> 6) & 0x3F)), char(0x80 | (code & 0x3F))};
    } else {
      utf8 += {char(0xF0 | (code >> 18)), char(0x80 | ((code >> 12) & 0x3F)), char(0x80 | ((code >> 6) & 0x3F)),
               char(0x80 | (code & 0x3F))};
    }
    utf8 += ' ';
  };
  for (std::uint32_t code = 0x80; code < 0x10000; ++code)
    if (code < 0xD800 || code > 0xDFFF) append(code);
  for (std::uint32_t code = 0x10000; code <= 0x10FFFF; code += code < 0x30000 ? 1 : 97) append(code);
  const std::string encoded = EncodeGb18030(utf8);
  const std::string expected = EncodeWithIconv(utf8);
  EXPECT_EQ(encoded.size(), expected.size());
  EXPECT_TRUE(encoded == expected) << "first difference at byte "
                                   << std::mismatch(encoded.begin(), encoded.end(), expected.begin(), expected.end()).first - encoded.begin();
}

TEST(EncodeGb18030, WritesGbkBytesAndKeepsAscii) {
  EXPECT_EQ(EncodeGb18030(std::string("a") + kUtf8Chinese), std::string("a") + kGbkChinese);
  EXPECT_EQ(EncodeGb18030("\xE3\x80\x97\xE2\x98\x85\xE3\x80\x96"), "\xA1\xBD\xA1\xEF\xA1\xBC");  // U+3017 U+2605 U+3016
  EXPECT_EQ(EncodeGb18030("plain text\r\n"), "plain text\r\n");
  EXPECT_EQ(EncodeGb18030(""), "");
}

TEST(EncodeGb18030, CharactersOutsideGbkRoundTripAndBadUtf8BecomesQuestionMark) {
  const std::string bullet_and_emoji = "\xE2\x80\xA2\xF0\x9F\x98\x80";
  EXPECT_EQ(DecodeToUtf8(EncodeGb18030(bullet_and_emoji), "GB18030"), bullet_and_emoji);
  EXPECT_EQ(EncodeGb18030("a\xFF" "b"), "a?b");
}

}  // namespace
}  // namespace pitrel

#include "worker/browser/charset.h"

#include <gtest/gtest.h>

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

TEST(EncodeGb18030, WritesGbkBytesAndKeepsAscii) {
  EXPECT_EQ(EncodeGb18030(std::string("a") + kUtf8Chinese), std::string("a") + kGbkChinese);
  EXPECT_EQ(EncodeGb18030("\xE3\x80\x97\xE2\x98\x85\xE3\x80\x96"), "\xA1\xBD\xA1\xEF\xA1\xBC");  // 〗★〖
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

// CutAtMarker, the text helpers and LeadingNumber: the pieces every
// condenser and the command line stand on.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "worker/leading_number.h"
#include "worker/protocol.h"
#include "worker/text_cut.h"

namespace pitrel {
namespace {

TEST(CutAtMarker, FromFrontReturnsHeadAndKeepsTail) {
  std::string s = "one-two-three";
  EXPECT_EQ(CutAtMarker(s, "-", true), "one");
  EXPECT_EQ(s, "two-three");
}

TEST(CutAtMarker, FromBackReturnsTailAndKeepsHead) {
  std::string s = "one-two-three";
  EXPECT_EQ(CutAtMarker(s, "-", false), "three");
  EXPECT_EQ(s, "one-two");
}

TEST(CutAtMarker, MissingOrEmptyMarkerLeavesSourceAlone) {
  std::string s = "one-two-three";
  EXPECT_EQ(CutAtMarker(s, "+", true), "");
  EXPECT_EQ(CutAtMarker(s, "+", false), "");
  EXPECT_EQ(CutAtMarker(s, "", true), "");
  EXPECT_EQ(s, "one-two-three");
  std::string empty;
  EXPECT_EQ(CutAtMarker(empty, "-", true), "");
  EXPECT_EQ(empty, "");
}

TEST(CutAtMarker, MultiByteMarkersAndMarkersAtTheEdges) {
  std::string s = "地址：杭州" + std::string(kFieldSeparator) + "邮编：310000";
  EXPECT_EQ(CutAtMarker(s, kFieldSeparator, true), "地址：杭州");
  EXPECT_EQ(s, "邮编：310000");
  std::string edge = "-x-";
  EXPECT_EQ(CutAtMarker(edge, "-", true), "");  // found, with nothing before it
  EXPECT_EQ(edge, "x-");
  EXPECT_EQ(CutAtMarker(edge, "-", false), "");
  EXPECT_EQ(edge, "x");
}

TEST(TextHelpers, TrimRemovesOnlySpaces) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(Trim("　a　"), "　a　");  // ideographic spaces stay
}

TEST(TextHelpers, ReplaceAllDoesNotRescanWhatItInserted) {
  EXPECT_EQ(ReplaceAll("a'b'c", "'", "’"), "a’b’c");
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(RemoveAll("x\r\ny\r\n", "\r\n"), "xy");
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartOnly) {
  EXPECT_EQ(LeadingNumber("1,5"), 1);
  EXPECT_EQ(LeadingNumber("123条"), 123);
  EXPECT_EQ(LeadingNumber("-42abc"), -42);
  EXPECT_EQ(LeadingNumber("+7"), 7);
  EXPECT_EQ(LeadingNumber("2.5.6"), 2.5);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("约123"), 0);
}

TEST(LeadingNumber, SkipsBlanksWhereverTheyStand) {
  EXPECT_EQ(LeadingNumber("  1 2\t3\n4"), 1234);
  EXPECT_EQ(LeadingNumber("- 5"), -5);
  EXPECT_EQ(LeadingNumber("\r5"), 0);  // a carriage return is not a blank
}

TEST(LeadingNumber, ReadsExponentsWithEOrD) {
  EXPECT_EQ(LeadingNumber("1e3"), 1000);
  EXPECT_EQ(LeadingNumber("1.5D2"), 150);
  EXPECT_EQ(LeadingNumber("2E-1"), 0.2);
  EXPECT_EQ(LeadingNumber("3e"), 3);  // no exponent digits: the E is not part of it
  EXPECT_EQ(LeadingNumber("3ex"), 3);
}

TEST(LeadingNumber, ReadsHexAndOctal) {
  EXPECT_EQ(LeadingNumber("&H1F"), 31);
  EXPECT_EQ(LeadingNumber("&hff zz"), 255);
  EXPECT_EQ(LeadingNumber("&O17"), 15);
  EXPECT_EQ(LeadingNumber("&O19"), 1);  // 9 is no octal digit
  EXPECT_EQ(LeadingNumber("&X1"), 0);
}

TEST(LeadingNumber, RoundingHalvesToEvenAndRejectsWhatDoesNotFit) {
  EXPECT_EQ(RoundToInt16(2.5), 2);
  EXPECT_EQ(RoundToInt16(3.5), 4);
  EXPECT_EQ(RoundToInt16(-0.5), 0);
  EXPECT_EQ(RoundToInt16(1.6), 2);
  EXPECT_EQ(RoundToInt16(32767), 32767);
  EXPECT_EQ(RoundToInt16(32768), std::nullopt);
  EXPECT_EQ(RoundToInt16(-32768), -32768);
  EXPECT_EQ(RoundToInt32(3e9), std::nullopt);
  EXPECT_EQ(RoundToInt32(2147483647.4), 2147483647);
  EXPECT_EQ(RoundToInt32(-2.5), -2);
  EXPECT_EQ(RoundToInt32(-3.5), -4);
  // The same as the default rounding mode for every kind of value.
  std::mt19937_64 random(5);
  for (int i = 0; i < 100'000; ++i) {
    const double value =
        std::uniform_real_distribution<double>(-3e9, 3e9)(random) / double(1 << (i % 30));
    const double halfway = std::floor(value) + 0.5;
    for (double v : {value, halfway}) {
      const double expected = std::nearbyint(v);
      if (std::fabs(expected) < 2147483647) {
        EXPECT_EQ(RoundToInt32(v), std::optional<std::int32_t>(std::int32_t(expected))) << v;
      }
    }
  }
}

TEST(LeadingNumber, NumbersBeyondADoublesRangeReadAsZero) {
  EXPECT_EQ(LeadingNumber("1e999 hits"), 0);
  EXPECT_EQ(LeadingNumber("-1d400"), 0);
  EXPECT_EQ(LeadingNumber("1e-400"), 0);
  EXPECT_EQ(LeadingNumber("1.5e3"), 1500);
}

}  // namespace
}  // namespace pitrel

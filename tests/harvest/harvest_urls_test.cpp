// Addresses, regions, member-name safety and the small parsers of the harvests.
#include "harvest/marketplace_urls.h"
#include "harvest/member_harvest.h"
#include "harvest/member_name.h"
#include "harvest/regions.h"
#include "harvest/worker_launcher.h"
#include "harvest/worker_protocol.h"

#include <gtest/gtest.h>

#include <QtGlobal>

namespace quenlo {
namespace {

class SearchUrlTest : public ::testing::Test {
 protected:
  void SetUp() override { qputenv("QUENLO_SEARCH_HOST", "search.example:81"); }
  void TearDown() override { qunsetenv("QUENLO_SEARCH_HOST"); }
};

TEST_F(SearchUrlTest, PagedFormCarriesKeywordPageAndRegionTwice) {
  EXPECT_EQ(BuildSearchUrl("abc", "", 12),
            "http://search.example:81/company/abc/12.html?page_size=40&province=&show_province="
            "&search_type=search&filt=y");
  const QString group = RegionValue("江浙沪");
  EXPECT_EQ(group, "%BD%AD%CB%D5%2C%D5%E3%BD%AD%2C%C9%CF%BA%A3");
  const QString url = BuildSearchUrl("网络", group, 1);
  EXPECT_TRUE(url.contains("province=" + group + "&show_province=" + group + "&search_type"));
  EXPECT_TRUE(BuildSearchUrl("网络", RegionValue("浙江"), 2)
                  .endsWith("/company/网络/2.html?page_size=40&province=浙江&show_province=浙江"
                            "&search_type=search&filt=y"));
}

TEST_F(SearchUrlTest, OverseasFormIgnoresPageAndEndsWithKeyword) {
  const QString first = BuildSearchUrl("led", RegionValue("海外"), 1);
  EXPECT_EQ(first, BuildSearchUrl("led", "海外", 2));
  EXPECT_EQ(first, BuildSearchUrl("led", "海外", 3));
  EXPECT_TRUE(first.startsWith("http://search.example:81/search/company_search.htm?filt=y&"));
  EXPECT_TRUE(first.contains("pageSize=40"));
  EXPECT_TRUE(first.endsWith("&show_province=海外&biztype=&established_year=&keywords=led"));
}

// A keyword is searched as typed: what would end or split its part of the
// address is escaped, and only that.
TEST_F(SearchUrlTest, KeywordCharactersThatShapeTheAddressAreEscaped) {
  EXPECT_TRUE(BuildSearchUrl("a#b?c/d\\e%f", "", 1).contains("/company/a%23b%3Fc%2Fd%5Ce%25f/1.html?"));
  EXPECT_TRUE(BuildSearchUrl("网络 & 'x'", "", 1).contains("/company/网络 & 'x'/1.html?"));
  EXPECT_TRUE(BuildSearchUrl("a&b#c%", "海外", 1).endsWith("&keywords=a%26b%23c%25"));
}

TEST(ContactUrlTest, UsesMainHost) {
  qputenv("QUENLO_MAIN_HOST", "127.0.0.1:9");
  EXPECT_EQ(BuildContactUrl("abc123"), "http://127.0.0.1:9/company/detail/contact/abc123.html");
  qunsetenv("QUENLO_MAIN_HOST");
}

TEST(MarketplaceUrlTest, AHostSetWithASchemeKeepsItForEveryAddress) {
  qputenv("QUENLO_MAIN_HOST", "https://127.0.0.1:8443/");
  qputenv("QUENLO_SEARCH_HOST", "HTTPS://search.example");
  EXPECT_EQ(BuildContactUrl("abc"), "https://127.0.0.1:8443/company/detail/contact/abc.html");
  EXPECT_TRUE(BuildSearchUrl("led", "", 2).startsWith("HTTPS://search.example/company/led/2.html?"));
  EXPECT_TRUE(BuildSearchUrl("led", "海外", 1).startsWith("HTTPS://search.example/search/company_search.htm?"));
  qputenv("QUENLO_MAIN_HOST", "http://127.0.0.1:8080");
  EXPECT_EQ(BuildContactUrl("abc"), "http://127.0.0.1:8080/company/detail/contact/abc.html");
  qunsetenv("QUENLO_MAIN_HOST");
  qunsetenv("QUENLO_SEARCH_HOST");
}

TEST(RegionTest, ListOrderAndValues) {
  const QStringList& entries = RegionEntries();
  ASSERT_EQ(entries.size(), 41);
  EXPECT_EQ(entries.front(), "所有省份");
  EXPECT_EQ(entries[6], "海外");
  EXPECT_EQ(entries.back(), "台湾");
  EXPECT_EQ(QStringList(entries).removeDuplicates(), 0);
  EXPECT_EQ(RegionValue("所有省份"), "");
  EXPECT_EQ(RegionValue("台湾"), "TW");
  EXPECT_EQ(RegionValue("澳门"), "MO");
  EXPECT_EQ(RegionValue("香港"), "HK");
  EXPECT_EQ(RegionValue("华北地区"),
            "%B1%B1%BE%A9%2C%CC%EC%BD%F2%2C%BA%D3%B1%B1%2C%C9%BD%CE%F7%2C%C4%DA%C3%C9%B9%C5");
  EXPECT_EQ(RegionValue("黑龙江"), "黑龙江");
  EXPECT_EQ(RegionValue("台湾 "), "台湾 ");  // whole-text comparison only
}

TEST(MemberNameTest, OnlyShortPrintableAsciiWithoutPathParts) {
  for (const char* good : {"abc123", "b2b-cn_01", "a'b", "x.y"}) EXPECT_TRUE(IsSafeMemberName(good)) << good;
  for (const char* bad : {"", "x y", "../evil", "a/b", "a\\b", "..", "a..b", "'; DROP TABLE t; --",
                          "tab\there", "c:x", "a*b"})
    EXPECT_FALSE(IsSafeMemberName(bad)) << bad;
  EXPECT_FALSE(IsSafeMemberName("名字"));
  EXPECT_FALSE(IsSafeMemberName(QString(kMaxMemberNameLength + 1, 'a')));
  EXPECT_TRUE(IsSafeMemberName(QString(kMaxMemberNameLength, 'a')));
}

TEST(SearchPagesTest, HitCountAndPages) {
  EXPECT_EQ(LeadingWholeNumber("95\r\nabc"), 95);
  EXPECT_EQ(LeadingWholeNumber("  40"), 40);
  EXPECT_EQ(LeadingWholeNumber("约95"), 0);
  EXPECT_EQ(LeadingWholeNumber(" "), 0);
  EXPECT_EQ(LeadingWholeNumber("99999999999999"), INT_MAX);
  EXPECT_EQ(SearchPageCount(0), 0);
  EXPECT_EQ(SearchPageCount(-3), 0);
  EXPECT_EQ(SearchPageCount(40), 1);
  EXPECT_EQ(SearchPageCount(41), 2);
  EXPECT_EQ(SearchPageCount(95), 3);
  EXPECT_EQ(SearchPageCount(INT_MAX), 53687092);
  EXPECT_EQ(SearchPageResultFile(1), "TempPage_0");
  EXPECT_EQ(SearchPageResultFile(2), "TempPage_2");
}

TEST(WorkerCommandLineTest, FieldsJoinedByTheCommandSeparatorKeepTheirText) {
  const QString page = QStringLiteral("http://h/company/网络/m1.html");
  EXPECT_EQ(WorkerCommandLine(page, "Temp_m1", pitrel::kContactFlag),
            page + kCommandSeparator + "Temp_m1" + kCommandSeparator + "1");
}

}  // namespace
}  // namespace quenlo

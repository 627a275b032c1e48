#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "worker/profile.h"
#include "worker/protocol.h"

namespace pitrel {
namespace {

const std::string kSeparator(kFieldSeparator);
const std::string kInText(kSeparatorInText);

// A result line of the given fields.
std::string Line(const std::vector<std::string>& fields) { return JoinFields(fields); }

// label and value pairs in table order; the page shows them bottom up.
using Facts = std::vector<std::pair<std::string, std::string>>;

Facts TableFacts() {
  return {{"公司主页：", "http://www.alpha.test"}, {"资信参考人：", "王先生"},
          {"会员评价：", "好评"},                  {"证书及荣誉：", "ISO 9001"},
          {"工商注册信息：", "已核实"},            {"研发部门人数：", "5人"},
          {"主要市场：", "华东"},                  {"主要经营地点：", "杭州"},
          {"公司成立时间：", "2001"},              {"员工人数：", "50"},
          {"公司注册地：", "浙江杭州"},            {"注册资本：", "100万"},
          {"经营模式：", "生产加工"},              {"企业类型：", "私营"},
          {"主营行业：", "家具"},                  {"主营产品或服务：", "沙发 床"}};
}

std::string ProfilePage(const Facts& facts, const std::string& intro) {
  std::string page = "首页 公司介绍\r\n友情链接\r\n某网站\r\n公司介绍    " + intro + "\r\n详细信息\r\n";
  for (auto it = facts.rbegin(); it != facts.rend(); ++it) page += it->first + it->second + "\r\n";
  return page + "\r\n\r\n\r\n版权所有\r\n技术支持：阿里巴巴\r\n";
}

TEST(CondenseProfile, FullProfileGivesTagSixteenValuesAndIntroduction) {
  EXPECT_EQ(CondenseProfile(ProfilePage(TableFacts(), "阿尔法 家具厂，\r\n成立于 2001 年。"), ""),
            Line({"公司主页", ";www.alpha.test", "王先生", "好评", "ISO9001",
                  "已核实", "5人", "华东", "杭州", "2001", "50", "浙江杭州", "100万", "生产加工",
                  "私营", "家具", "沙发床", "阿尔法家具厂，成立于2001年。"}));
}

TEST(CondenseProfile, MissingLabelEmptiesItsFieldAndTheLabelAboveRunsOn) {
  Facts facts = TableFacts();
  facts[9].first.clear();  // "员工人数：" gone, its value stays on the page
  const std::string line = CondenseProfile(ProfilePage(facts, "intro"), "");
  EXPECT_NE(line.find(Line({"", "2001", "", "浙江杭州50", "100万", ""})), std::string::npos) << line;
}

TEST(CondenseProfile, DirectoryEntryIsReportedAsSuch) {
  const std::string page = "首页\r\n友情链接\r\n某网站\r\n公司介绍    公司黄页 阿尔法\r\n技术支持：阿里巴巴\r\n";
  EXPECT_EQ(CondenseProfile(page, ""), Line({"公司黄页", ""}));
  EXPECT_EQ(CondenseProfile("公 司 黄 页", ""), Line({"公司黄页", ""}));
}

// A page quoting the separator keeps its eighteen fields: quenlo reads them by position.
TEST(CondenseProfile, TheSeparatorInPageTextAddsNoField) {
  Facts facts = TableFacts();
  facts[15].second = "电阻" + kSeparator + "电容";
  const std::string line = CondenseProfile(ProfilePage(facts, "连接器" + kSeparator + "插座"), "");
  std::size_t separators = 0;
  for (std::size_t at = line.find(kSeparator); at != std::string::npos;
       at = line.find(kSeparator, at + 1))
    ++separators;
  EXPECT_EQ(separators, 17u) << line;
  EXPECT_NE(line.find(Line({"", "电阻" + kInText + "电容", "连接器" + kInText + "插座"})),
            std::string::npos)
      << line;
}

TEST(CondenseProfile, EmptyPageGivesTheTagAndSeventeenEmptyFields) {
  std::vector<std::string> fields(18);
  fields[0] = "公司主页";
  EXPECT_EQ(CondenseProfile("", ""), Line(fields));
}

TEST(CondenseProfile, EveryHttpBecomesASemicolon) {
  Facts facts = TableFacts();
  facts[0].second = "http://a.test http://b.test";
  facts[15].second = "见http://c.test";
  const std::string line = CondenseProfile(ProfilePage(facts, "see http://d.test"), "");
  EXPECT_EQ(line.find("http://"), std::string::npos);
  EXPECT_EQ(line.rfind(Line({"公司主页", ";a.test;b.test", ""}), 0), 0u) << line;
  EXPECT_NE(line.find(Line({"", "见;c.test", "see;d.test"})), std::string::npos) << line;
}

TEST(CondenseProfile, OnlyTheLastThreeLineGapEndsTheProfile) {
  // A triple line break inside the introduction does not cut the facts below it.
  const std::string line =
      CondenseProfile(ProfilePage(TableFacts(), "first\r\n\r\n\r\nsecond"), "");
  EXPECT_EQ(line.rfind(Line({"公司主页", ";www.alpha.test", ""}), 0), 0u) << line;
}

}  // namespace
}  // namespace pitrel

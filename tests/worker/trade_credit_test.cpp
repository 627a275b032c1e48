#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "worker/protocol.h"
#include "worker/trade_credit.h"

namespace pitrel {
namespace {

// A result line of the given fields.
std::string Line(const std::vector<std::string>& fields) { return JoinFields(fields); }

std::string CreditBlock(const std::string& location, const std::string& seller = "100") {
  return "卖家信用： " + seller + " 分\r\n买家信用：20\r\n所在地：" + location +
         "\r\n注册时间：2005-01-01\r\n上次登录：2006-06-06 10:00 站内信件： 发送消息\r\n"
         "注册时间：1999\r\n";
}

TEST(CondenseTradeCredit, GivesSixFieldsWithoutSpaces) {
  EXPECT_EQ(CondenseTradeCredit("会员信息\r\n" + CreditBlock("浙江 杭州")),
            Line({"100分", "20", "浙江", "杭州", "2005-01-01", "2006-06-0610:00"}));
}

TEST(CondenseTradeCredit, SplitsTheLocationAtTheFirstProvinceThatMatches) {
  auto location = [](const std::string& value) {
    const std::string line = CondenseTradeCredit(CreditBlock(value));
    const std::string before = Line({"", "20", ""});
    const std::size_t from = line.find(before) + before.size();
    return line.substr(from, line.find(Line({"", "2005"})) - from);
  };
  EXPECT_EQ(location("浙江宁波"), Line({"浙江", "宁波"}));
  EXPECT_EQ(location("内蒙古呼和浩特"), Line({"内蒙古", "呼和浩特"}));
  EXPECT_EQ(location("黑龙江哈尔滨"), Line({"黑龙江", "哈尔滨"}));
  EXPECT_EQ(location("北京"), Line({"北京", ""}));
  EXPECT_EQ(location("美国纽约"), Line({"其他", "其他"}));
  EXPECT_EQ(location(""), Line({"", ""}));
}

TEST(CondenseTradeCredit, ReadsTheLastBlockAndTheFirstLineOfEachLabel) {
  const std::string text =
      CreditBlock("上海", "1") + "中间\r\n" + CreditBlock("广东深圳", "2") + "买家信用：99\r\n";
  EXPECT_EQ(CondenseTradeCredit(text),
            Line({"2分", "20", "广东", "深圳", "2005-01-01", "2006-06-0610:00"}));
}

TEST(CondenseTradeCredit, MissingLabelsGiveEmptyFields) {
  EXPECT_EQ(CondenseTradeCredit("卖家信用：5"), Line({"5", "", "", "", "", ""}));
  // A label must begin its line.
  EXPECT_EQ(CondenseTradeCredit("卖家信用：5\r\n  买家信用：6\r\n他的所在地：北京"),
            Line({"5", "6", "", "", "", ""}));
}

TEST(CondenseTradeCredit, PageWithoutCreditBlockGivesNothing) {
  EXPECT_EQ(CondenseTradeCredit(""), "");
  EXPECT_EQ(CondenseTradeCredit("买家信用：20\r\n所在地：北京"), "");
}

}  // namespace
}  // namespace pitrel

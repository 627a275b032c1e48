#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "worker/page/html_document.h"
#include "worker/page/html_serializer.h"
#include "worker/contact.h"
#include "worker/protocol.h"

namespace pitrel {
namespace {

const std::string kUrl = "http://main.test/company/contact/alpha.html";
const std::string kSiteUrl = "http://alpha.members.test/contact.html";

// A result line of the given fields.
std::string Line(const std::vector<std::string>& fields) { return JoinFields(fields); }

struct Contact {
  std::string company = "杭州阿尔法有限公司";
  std::string person = "王小明";
  std::string sex = "先生";
  std::string job = "销售经理";
  std::string telephone = "0571-88881234";
  std::string mobile = "13800000001";
  std::string fax = "0571-88885678";
  std::string address = "中国 浙江省杭州市文三路1号";
  std::string postcode = "310000";
  std::string web = "http://www.alpha.test";
};

// The marketplace's own contact page as its rendered text (CR LF lines).
std::string TextPage(const Contact& c) {
  return "首页\r\n公司介绍\r\n联系方式\r\n" + c.company + " \r\n" + c.person + " " + c.sex + " (" +
         c.job + ")\r\n给我留言 跟我洽谈\r\n电　　话：" + c.telephone + "\r\n移动电话：" +
         c.mobile + "\r\n传　　真：" + c.fax + "\r\n地　　址：" + c.address +
         "\r\n邮　　编：" + c.postcode + "\r\n公司网站：" + c.web +
         "\r\n相关诚信通企业推荐\r\n其他公司\r\n";
}

// A member site's contact page as body mark-up.
std::string MarkupPage(const Contact& c, const std::string& homeLinks) {
  return "<DIV><SPAN class=t>联系方式</SPAN></DIV>\r\n<TABLE><TBODY>\r\n<TR><TD><A href=\"#\">" +
         c.person + "</A> " + c.sex + "（" + c.job +
         "）<BR><IMG src=\"m.gif\"></TD></TR>\r\n<TR><TD>电话：" + c.telephone +
         "</TD></TR>\r\n<TR><TD>移动电话：" + c.mobile + "</TD></TR>\r\n<TR><TD>传真：" + c.fax +
         "</TD></TR>\r\n<TR><TD>邮编：" + c.postcode + "</TD></TR>\r\n<TR><TD>公司主页：" +
         homeLinks + "<!--------- links end --></TD></TR>\r\n<TR><TD>" + c.company +
         "</TD></TR>\r\n<TR><TD>地址：" + c.address +
         "</TD></TR></TBODY></TABLE>\r\n<DIV>技术支持：阿里巴巴</DIV>";
}

TEST(CondenseContact, TextFormGivesTheTenFieldsInOrder) {
  const Contact c;
  EXPECT_EQ(CondenseContact(TextPage(c), "", kUrl, kUrl),
            Line({"浙江省杭州市文三路1号", c.company, c.web, c.postcode, c.fax, c.mobile,
                  c.telephone, c.job, c.sex, c.person}));
}

TEST(CondenseContact, TextFormOpensAtTheMessageLinkAndClosesAtTheIndustryList) {
  Contact c;
  std::string page = TextPage(c);
  page.replace(page.find("联系方式\r\n"), 0, "点此留言 ");
  page.replace(page.find("相关诚信通企业推荐"), 27, "点击以下行业查找公司");
  EXPECT_EQ(CondenseContact(page + "尾部 联系方式", "", kUrl, kUrl),
            Line({"浙江省杭州市文三路1号", c.company, c.web, c.postcode, c.fax, c.mobile,
                  c.telephone, c.job, c.sex, c.person}));
}

TEST(CondenseContact, EmptyOrUnrecognisedPageGivesTenEmptyFields) {
  const std::string nine = Line(std::vector<std::string>(10));
  EXPECT_EQ(CondenseContact("", "", kUrl, kUrl), nine);
  EXPECT_EQ(CondenseContact("联系方式 but no end marker", "", kUrl, kUrl), nine);
  EXPECT_EQ(CondenseContact("", "", kUrl, kSiteUrl), nine);
}

TEST(CondenseContact, TextFormWebAddressLosesSpacesAndDigitsStayWide) {
  Contact c;
  c.web = "http://www. alpha .test";
  c.postcode = "３１００００";
  c.address = "浙江省 杭州市";
  const std::string line = CondenseContact(TextPage(c), "", kUrl, kUrl);
  EXPECT_EQ(line, Line({"浙江省 杭州市", c.company, "http://www.alpha.test", "３１００００", c.fax,
                        c.mobile, c.telephone, c.job, c.sex, c.person}));
}

TEST(CondenseContact, TheSeparatorInPageTextAddsNoField) {
  Contact c;
  c.company = "阿尔法" + std::string(kFieldSeparator) + "有限公司";
  EXPECT_EQ(CondenseContact(TextPage(c), "", kUrl, kUrl),
            Line({"浙江省杭州市文三路1号", "阿尔法" + std::string(kSeparatorInText) + "有限公司", c.web, c.postcode, c.fax, c.mobile,
                  c.telephone, c.job, c.sex, c.person}));
}

TEST(CondenseContact, TextFormWithoutSexLeavesItEmpty) {
  Contact c;
  c.sex = "";
  EXPECT_EQ(CondenseContact(TextPage(c), "", kUrl, kUrl),
            Line({"浙江省杭州市文三路1号", c.company, c.web, c.postcode, c.fax, c.mobile,
                  c.telephone, c.job, "", c.person}));
}

TEST(CondenseContact, MarkupFormGivesTheTenFieldsInOrder) {
  const Contact c;
  EXPECT_EQ(CondenseContact("", MarkupPage(c, "<A href=\"http://www.alpha.test\">x</A>"), kUrl,
                            kSiteUrl),
            Line({"浙江省杭州市文三路1号", c.company, "http://www.alpha.test", c.postcode,
                  c.fax, c.mobile, "571-88881234", c.job, c.sex, c.person}));
}

// The same page as a site might really write it, indented, read through the
// page layer: the labels still stand right after their tags.
TEST(CondenseContact, MarkupFormReadsAnIndentedPage) {
  const Contact c;
  const std::string html =
      "<div><span class=t>联系方式</span></div>\n<table>\n  <tr>\n    <td>\n      <a href=\"#\">" +
      c.person + "</a> " + c.sex + "（" + c.job +
      "）<br>\n      <img src=\"m.gif\">\n    </td>\n  </tr>\n  <tr><td>\n    电话：" + c.telephone +
      "\n  </td></tr>\n  <tr><td>\n    移动电话：" + c.mobile + "</td></tr>\n  <tr><td>\n    传真：" +
      c.fax + "</td></tr>\n  <tr><td>\n    邮编：" + c.postcode +
      "</td></tr>\n  <tr><td>\n    公司主页：<a href=\"http://www.alpha.test\">x</a>"
      "<!--------- links end -->\n  </td></tr>\n  <tr><td>\n    " + c.company +
      "\n  </td></tr>\n  <tr><td>\n    地址：" + c.address +
      "\n  </td></tr>\n</table>\n<div>技术支持：阿里巴巴</div>\n";
  const std::string markup = PageBodyHtml(HtmlDocument(html), kSiteUrl);
  EXPECT_EQ(CondenseContact("", markup, kUrl, kSiteUrl),
            Line({"浙江省杭州市文三路1号", c.company, "http://www.alpha.test/", c.postcode, c.fax,
                  c.mobile, "571-88881234", c.job, c.sex, c.person}));
}

TEST(CondenseContact, MarkupFormCleansNumbers) {
  Contact c;
  c.telephone = "0123 4567 89";
  c.postcode = "３１０ ０００";
  c.fax = "0571 ８８８８";
  c.mobile = " 138 0000 ";
  c.job = " 经理 ";
  c.company = "&nbsp;Alpha Co.&nbsp;";
  const std::string line = CondenseContact("", MarkupPage(c, ""), kUrl, kSiteUrl);
  EXPECT_EQ(line, Line({"浙江省杭州市文三路1号", "Alpha Co.", "", "310000", "0571-8888", "138 0000",
                        "123-4567-89", " 经理 ", c.sex, c.person}));
}

TEST(CondenseContact, MarkupFormJoinsEveryHomePageLink) {
  const Contact c;
  auto web = [&](const std::string& links) {
    std::string line = CondenseContact("", MarkupPage(c, links), kUrl, kSiteUrl);
    for (int i = 0; i < 2; ++i) line.erase(0, line.find(kFieldSeparator) + kFieldSeparator.size());
    return line.substr(0, line.find(kFieldSeparator));
  };
  EXPECT_EQ(web("<A href=\" http://a.test \">a</A> <A href=\"http://b.test/\">b</A>"),
            "http://a.test;http://b.test/");
  EXPECT_EQ(web("none"), "");
}

TEST(CondenseContact, ARedirectAlwaysReadsTheMarkup) {
  const Contact onText;
  Contact onMarkup;
  onMarkup.company = "Beta Co.";
  const std::string markup = MarkupPage(onMarkup, "");
  for (const std::string& current : {kSiteUrl, kUrl + "?from=x", std::string("HTTP://MAIN.TEST/company/contact/alpha.html")}) {
    const std::string line = CondenseContact(TextPage(onText), markup, kUrl, current);
    EXPECT_NE(line.find("〖Beta Co.〗"), std::string::npos) << current;
    EXPECT_EQ(line.find(onText.company), std::string::npos) << current;
  }
}

TEST(CondenseContact, ApostrophesBecomeTypographicInBothForms) {
  Contact c;
  c.company = "O'Neil's";
  c.address = "中国 O'Street";
  const std::string text = CondenseContact(TextPage(c), "", kUrl, kUrl);
  const std::string markup = CondenseContact("", MarkupPage(c, ""), kUrl, kSiteUrl);
  for (const std::string& line : {text, markup}) {
    EXPECT_EQ(line.find('\''), std::string::npos) << line;
    EXPECT_EQ(line.rfind("O’Street", 0), 0u) << line;
    EXPECT_NE(line.find("O’Neil’s"), std::string::npos) << line;
  }
}

TEST(FoldWideDigits, FoldsOnlyFullWidthDigits) {
  EXPECT_EQ(FoldWideDigits("０１２３４５６７８９"), "0123456789");
  EXPECT_EQ(FoldWideDigits("电话：０５７１－ab"), "电话：0571－ab");
  EXPECT_EQ(FoldWideDigits("ＡＢ"), "ＡＢ");  // full-width letters share the lead bytes
  EXPECT_EQ(FoldWideDigits(""), "");
}

}  // namespace
}  // namespace pitrel

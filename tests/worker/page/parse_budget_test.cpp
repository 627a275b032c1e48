#include "worker/page/parse_budget.h"

#include <gtest/gtest.h>

#include <string>

#include "worker/page/html_document.h"
#include "worker/page/inner_text.h"

namespace pitrel {
namespace {

constexpr std::size_t kPageCap = 8u << 20;  // the most a fetch accepts
constexpr std::size_t npos = std::string::npos;

std::string Repeated(std::string_view head, std::string_view unit, std::size_t bytes = kPageCap) {
  std::string page(head);
  while (page.size() + unit.size() <= bytes) page += unit;
  return page;
}

// Shapes that cost the parser hundreds of bytes for every few bytes of page.
TEST(ParseBudget, HostilePagesAreCutBeforeTheirTreeOutgrowsTheBudget) {
  const std::string many_attributes =
      "<p t=\">\" a b c d e f g h i j k l m n o q r s u v w x y z a1 b1 c1 d1 e1 f1 g1 h1>t</p>";
  for (const std::string_view unit :
       {std::string_view("<b>z</b>"), std::string_view("<br>"), std::string_view("<!--c-->"),
        std::string_view("<table><tr><td>x</td></tr></table>"),
        std::string_view(many_attributes)}) {
    SCOPED_TRACE(std::string(unit.substr(0, 40)));
    const std::string page = Repeated("<p>kept</p>", unit);
    const HtmlDocument document(page);
    EXPECT_LT(document.Text().size(), page.size() / 2);
    EXPECT_EQ(PageInnerText(document).substr(0, 4), "kept");
    EXPECT_LT(document.BytesReserved(), kParseBudgetBytes);
    // The cut falls between tags: what is kept parses as the page began.
    EXPECT_EQ(document.Text().back(), '>');
  }
}

TEST(ParseBudget, OneHugeAttributeValueIsDroppedWithItsTag) {
  const std::string page = "<p>kept</p><img src=\"" + std::string(kPageCap, 'a') + "\"><p>lost</p>";
  EXPECT_EQ(ParseCutPoint(page), page.find("<img"));
}

TEST(ParseBudget, LargeButOrdinaryPagesAreParsedWhole) {
  // A long table of links, half a megabyte of mark-up.
  const std::string rows =
      Repeated("<table>",
               "<tr class=r><td><a href=\"/company/m0001.html\">Member</a></td><td>Text</td></tr>",
               1u << 19);
  EXPECT_EQ(ParseCutPoint(rows + "</table>"), npos);
  // 8 MB of text.
  EXPECT_EQ(ParseCutPoint("<p>" + std::string(kPageCap, 'z') + "</p>"), npos);
  // More elements than the nesting bound, but never that many open at once.
  EXPECT_EQ(ParseCutPoint(Repeated("", "<div></div><br>", 15 * kMaxOpenElements * 3 / 2)), npos);
}

TEST(ParseBudget, NestingPastTheBoundIsCutAtTheTagThatWouldPassIt) {
  std::string page;
  std::size_t last_allowed = 0;
  for (int open = 1; open <= kMaxOpenElements + 5; ++open) {
    if (open == kMaxOpenElements + 1) last_allowed = page.size();
    page += "<span><br>";
  }
  EXPECT_EQ(ParseCutPoint(page), last_allowed);
}

TEST(ParseBudget, ATextPastTheBudgetIsCutBetweenCharacters) {
  const std::string head = "<p>a";  // puts the characters off the budget's round numbers
  std::string page = head;
  while (page.size() < kParseBudgetBytes * 3 / 4) page += "中";
  const std::size_t cut = ParseCutPoint(page);
  ASSERT_NE(cut, npos);
  EXPECT_GT(cut, kParseBudgetBytes / 4);
  EXPECT_EQ((cut - head.size()) % 3, 0u);
}

}  // namespace
}  // namespace pitrel

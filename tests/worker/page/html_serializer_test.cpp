#include "worker/page/html_serializer.h"

#include <gtest/gtest.h>

#include "worker/page/html_document.h"

namespace pitrel {
namespace {

constexpr char kPage[] = "http://www.example.com/dir/page.html?q=1";

std::string Markup(const std::string& html, std::string_view page = kPage) {
  const HtmlDocument document(html);
  return SerializeBodyHtml(document.Body(), page);
}

TEST(SerializeBodyHtml, UpperCaseTagsEndTagsAndCrLfBeforeBlocks) {
  EXPECT_EQ(Markup("<body><div class=info>x<span>y</span><br>z<img src=a.png></div>"),
            "\r\n<DIV class=info>x<SPAN>y</SPAN><BR>z<IMG src=\"http://www.example.com/dir/a.png\"></DIV>");
  // Unclosed elements get their end tags; no CR LF before an end tag or after BR.
  EXPECT_EQ(Markup("<p>one<p>two<br>three"), "\r\n<P>one</P>\r\n<P>two<BR>three</P>");
}

// As a browser does, links follow the head's <BASE href>, the page's own
// address when it has none or an unusable one; both ways of writing agree.
TEST(SerializeBodyHtml, LinksFollowTheBaseElement) {
  auto both = [](const std::string& html) {
    const HtmlDocument quick(html);
    const std::string streamed = PageBodyHtml(quick, kPage);
    EXPECT_EQ(streamed, Markup(html));
    return streamed;
  };
  EXPECT_EQ(both("<html><head><base href=\"http://other.test/x/\"></head><body><a href=\"y.html\">y</a>"),
            "<A href=\"http://other.test/x/y.html\">y</A>");
  EXPECT_EQ(both("<head><BASE target=_blank><base href=sub/></head><a href=\"y.html\">y</a>"),
            "<A href=\"http://www.example.com/dir/sub/y.html\">y</A>");
  EXPECT_EQ(both("<head><base href=\"javascript:x\"></head><a href=\"y.html\">y</a>"),
            "<A href=\"http://www.example.com/dir/y.html\">y</A>");
  EXPECT_EQ(both("<head><basefont size=3></head><a href=\"y.html\">y</a>"),
            "<A href=\"http://www.example.com/dir/y.html\">y</A>");
}

TEST(SerializeBodyHtml, QuotesValuesUnlessPlainAndKeepsSourceOrder) {
  EXPECT_EQ(Markup("<span ID=a-b_1 Title='two words' data-x=\"\" lang=\"zh\">t</span>"),
            "<SPAN id=a-b_1 title=\"two words\" data-x=\"\" lang=zh>t</SPAN>");
  EXPECT_EQ(Markup("<span title='say \"hi\" & go'>t</span>"),
            "<SPAN title=\"say &quot;hi&quot; &amp; go\">t</SPAN>");
}

TEST(SerializeBodyHtml, LinksBecomeAbsoluteWithTheMarkerShapeTheCondensersSeek) {
  EXPECT_EQ(Markup("<a href=\" /company/offerlist/alpha.html \">a</a>"),
            "<A href=\"http://www.example.com/company/offerlist/alpha.html\">a</A>");
  EXPECT_EQ(Markup("<a href='#top'>t</a>"), "<A href=\"http://www.example.com/dir/page.html?q=1#top\">t</A>");
  EXPECT_EQ(Markup("<a href=\"javascript:void(0)\">j</a>"), "<A href=\"javascript:void(0)\">j</A>");
}

TEST(SerializeBodyHtml, TablesGetTheirSectionsAndLineBreaksButNoStrayWhitespace) {
  EXPECT_EQ(Markup("<table>\n <tr>\n  <td>a</td>\n  <td> b  c </td>\n </tr>\n</table>"),
            "\r\n<TABLE>\r\n<TBODY>\r\n<TR>\r\n<TD>a</TD>\r\n<TD>b c </TD></TR></TBODY></TABLE>");
}

// An indented page must read like one written without indentation: the
// condensers look for a label right after a tag.
TEST(SerializeBodyHtml, WhitespaceThatStartsALineIsDropped) {
  EXPECT_EQ(Markup("<td>\n    地址：中国 浙江\n  </td>"), "地址：中国 浙江 ");
  EXPECT_EQ(Markup("<div>\n  <span>电话：</span>\n  1234\n</div>"),
            "\r\n<DIV><SPAN>电话：</SPAN> 1234 </DIV>");
  EXPECT_EQ(Markup("<p>\n<input>\n</p>"), "\r\n<P><INPUT> </P>");
  EXPECT_EQ(Markup("<div>a<br>\n  <img src=x.png>\n b</div>"),
            "\r\n<DIV>a<BR><IMG src=\"http://www.example.com/dir/x.png\"> b</DIV>");
  EXPECT_EQ(Markup("<div>a</div>\n  b <!-- c -->  d"), "\r\n<DIV>a</DIV>b <!-- c --> d");
}

TEST(SerializeBodyHtml, TextEscapedWhitespaceCollapsedOutsidePreAndScript) {
  EXPECT_EQ(Markup("<b>a \t\n b</b> &amp; &lt;&gt;&nbsp;\xE3\x80\x80x"),
            "<B>a b</B> &amp; &lt;&gt;&nbsp;\xE3\x80\x80x");
  EXPECT_EQ(Markup("<pre>a  b\n c</pre>"), "\r\n<PRE>a  b\r\n c</PRE>");
  EXPECT_EQ(Markup("x<script>if (a < b &&  c) {}</script>"), "x<SCRIPT>if (a < b &&  c) {}</SCRIPT>");
  // Whitespace between inline elements is content and stays as one space.
  EXPECT_EQ(Markup("<b>a</b>   <i>b</i>"), "<B>a</B> <I>b</I>");
}

TEST(SerializeBodyHtml, CommentsVerbatimUnknownTagsByTheirOwnName) {
  EXPECT_EQ(Markup("<td><!--------- links --></td>x"), "<!--------- links -->x");
  EXPECT_EQ(Markup("<Foo-Bar x=1>t</foo-bar>"), "<FOO-BAR x=1>t</FOO-BAR>");
}

TEST(SerializeBodyHtml, BrokenMarkupStillGivesBalancedOutput) {
  EXPECT_EQ(Markup("<div><b>bold<i>both</div>after"),
            "\r\n<DIV><B>bold<I>both</I></B></DIV><B><I>after</I></B>");
  EXPECT_EQ(Markup("<a href=\"http://x.com/a"), "");
  EXPECT_EQ(Markup(""), "");
  EXPECT_EQ(SerializeBodyHtml(nullptr, kPage), "");
}

TEST(SerializeBodyHtml, DeepNestingAndHugeAttributesDoNotCrash) {
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "<span>";
  deep += "x";
  const std::string out = Markup(deep);
  EXPECT_NE(out.find('x'), std::string::npos);
  const std::string huge(1 << 20, 'v');
  EXPECT_EQ(Markup("<p title=" + huge + ">t</p>").size(), huge.size() + 17);
}

}  // namespace
}  // namespace pitrel

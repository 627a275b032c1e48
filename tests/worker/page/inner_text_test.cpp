#include "worker/page/inner_text.h"

#include <gtest/gtest.h>

#include "worker/page/html_document.h"

namespace pitrel {
namespace {

std::string Text(const std::string& html) {
  const HtmlDocument document(html);
  return BodyInnerText(document.Body());
}

TEST(BodyInnerText, CollapsesWhitespaceAcrossInlineElementsAndTrimsLines) {
  EXPECT_EQ(Text("<div>  Hello   <b>bold</b>  <i> it </i>world  </div>"), "Hello bold it world");
  EXPECT_EQ(Text("a<span> </span>b"), "a b");
  EXPECT_EQ(Text("  \n\t "), "");
}

TEST(BodyInnerText, BlocksBreakOnceParagraphsTwiceAndBreaksMerge) {
  EXPECT_EQ(Text("<div>a</div><div>b</div>"), "a\r\nb");
  EXPECT_EQ(Text("<p>a</p><p>b</p>c"), "a\r\n\r\nb\r\n\r\nc");
  EXPECT_EQ(Text("<div><div><div>deep</div></div></div><h1>h</h1>"), "deep\r\nh");
  EXPECT_EQ(Text("<p></p><div> </div><p>only</p>"), "only");
}

TEST(BodyInnerText, BrIsAnUnmergedLineBreak) {
  EXPECT_EQ(Text("a <br> b<br><br>c"), "a\r\nb\r\n\r\nc");
  EXPECT_EQ(Text("<div>a<br></div><div>b</div>"), "a\r\n\r\nb");
}

TEST(BodyInnerText, EveryCellEndsInOneSpaceAndEveryRowInOneLineBreak) {
  EXPECT_EQ(Text("<table><tr><td>a</td><td> b </td></tr><tr><td>c</td><td></td></tr></table>x"),
            "a b \r\nc  \r\nx");
  EXPECT_EQ(Text("<div>before</div><table><tr><th>h</th></tr></table>"), "before\r\nh ");
  // A nested table's line breaks merge with the outer row's: never a blank line.
  EXPECT_EQ(Text("<table><tr><td><table><tr><td>in</td></tr></table></td></tr><tr><td>out</td></"
                 "tr></table>"),
            "in \r\n \r\nout ");
}

TEST(BodyInnerText, HiddenElementsGiveNoText) {
  EXPECT_EQ(Text("<head><title>t</title></head><body>a<script>s()</script><style>p{}</style>"
                 "<noscript>n</noscript><template>t</template><span hidden>h</span>b"),
            "ab");
}

TEST(BodyInnerText, ImagesAndControlsKeepTheSpacesAroundThemAndListBoxesShowTheirChoices) {
  EXPECT_EQ(Text("trail <img src=a.png> after<div><img> x</div>a <input> b<input type=hidden> c"),
            "trail  after\r\n x\r\na  b c");
  EXPECT_EQ(Text("a<select><option>o1</option><option>o2</option></select>b"),
            "a\r\no1\r\no2\r\nb");
}

TEST(BodyInnerText, PreKeepsWhitespaceAndLineFeedsBecomeCrLf) {
  EXPECT_EQ(Text("<pre>  keep   this\n  line</pre>"), "  keep   this\r\n  line");
}

TEST(BodyInnerText, EntitiesDecodedAndNoBreakSpaceKept) {
  EXPECT_EQ(Text("A&nbsp;&nbsp;B &amp; &lt;d&gt;\xE3\x80\x80x"),
            "A\xC2\xA0\xC2\xA0"
            "B & <d>\xE3\x80\x80x");
  EXPECT_EQ(Text("<span>&nbsp;</span>"), "\xC2\xA0");
}

TEST(BodyInnerText, BrokenAndHostilePagesDoNotCrash) {
  EXPECT_EQ(Text("<div>open<p>para<table><tr><td>cell"), "open\r\n\r\npara\r\ncell ");
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "<div>";
  EXPECT_EQ(Text(deep + "x"), "x");
  // Nesting far beyond any real page is cut off rather than parsed for hours.
  std::string hostile = "<p>kept</p>";
  for (int i = 0; i < 300000; ++i) hostile += "<div>";
  EXPECT_EQ(Text(hostile + "lost"), "kept");
  std::string noise;
  for (int i = 0; i < 100000; ++i) noise.push_back(char((i * 2654435761u) >> 13));
  EXPECT_NO_THROW(Text(noise));
  EXPECT_EQ(BodyInnerText(nullptr), "");
}

}  // namespace
}  // namespace pitrel

#include <gtest/gtest.h>

#include "worker/page/url_encoding.h"
#include "worker/page/url_resolve.h"

namespace pitrel {
namespace {

TEST(EncodeRequestUrl, QueryInGb18030PathInUtf8ExistingEscapesKept) {
  // 中 is D6 D0 in GBK and E4 B8 AD in UTF-8.
  EXPECT_EQ(EncodeRequestUrl("http://h.com/\xE4\xB8\xAD/x?k=\xE4\xB8\xAD&p=%D6%D0"),
            "http://h.com/%E4%B8%AD/x?k=%D6%D0&p=%D6%D0");
  EXPECT_EQ(EncodeRequestUrl("  http://h.com/a b?c d#e f "), "http://h.com/a%20b?c%20d#e%20f");
  EXPECT_EQ(EncodeRequestUrl("http://h.com/plain?a=1&b=%ZZ"), "http://h.com/plain?a=1&b=%ZZ");
}

TEST(ResolveUrl, RelativeFormsAgainstThePage) {
  const std::string base = "http://Host.com:80/a/b/page.html?q=1#frag";
  EXPECT_EQ(ResolveUrl(base, "x.html"), "http://host.com/a/b/x.html");
  EXPECT_EQ(ResolveUrl(base, "../up/./y.html"), "http://host.com/a/up/y.html");
  EXPECT_EQ(ResolveUrl(base, "../../../../z"), "http://host.com/z");
  EXPECT_EQ(ResolveUrl(base, "/root"), "http://host.com/root");
  EXPECT_EQ(ResolveUrl(base, "//other.com/p"), "http://other.com/p");
  EXPECT_EQ(ResolveUrl(base, "?z=2"), "http://host.com/a/b/page.html?z=2");
  EXPECT_EQ(ResolveUrl(base, "#x"), "http://host.com/a/b/page.html?q=1#x");
  EXPECT_EQ(ResolveUrl(base, ""), "http://host.com/a/b/page.html?q=1");
  EXPECT_EQ(ResolveUrl(base, "\\win\\path"), "http://host.com/win/path");
}

TEST(ResolveUrl, StripsBlanksAndInnerLineBreaksAndNormalizesAbsoluteLinks) {
  const std::string base = "http://h.com/p.html";
  EXPECT_EQ(ResolveUrl(base, " \n http://Alpha.CN.example.com \t"), "http://alpha.cn.example.com/");
  EXPECT_EQ(ResolveUrl(base, "http://h.com/a\n/b"), "http://h.com/a/b");
  EXPECT_EQ(ResolveUrl(base, "https://h.com:443/x"), "https://h.com/x");
  EXPECT_EQ(ResolveUrl(base, "http://h.com:8080/x"), "http://h.com:8080/x");
  EXPECT_EQ(ResolveUrl(base, "a b.html"), "http://h.com/a%20b.html");
}

TEST(ResolveUrl, OtherSchemesAndUnusableBasesLeaveTheReferenceAsWritten) {
  EXPECT_EQ(ResolveUrl("http://h.com/", "mailto:a@b.c"), "mailto:a@b.c");
  EXPECT_EQ(ResolveUrl("http://h.com/", " javascript:go() "), "javascript:go()");
  EXPECT_EQ(ResolveUrl("about:blank", "x.html"), "x.html");
  EXPECT_EQ(ResolveUrl("file:///tmp/d/page.html", "img.png"), "file:///tmp/d/img.png");
}

// The resolver writes plain links without taking them apart; every link must
// come out exactly as ResolveUrl resolves it, plain or not.
TEST(UrlResolver, AgreesWithResolveUrlOnPlainAndAwkwardLinks) {
  const char* const bases[] = {"http://h.com:8080/a/b/page.html?q=1", "http://Host.COM:80/dir/",
                               "https://h.com/x", "file:///tmp/d/page.html", "about:blank", ""};
  const char* const links[] = {
      "http://h.com/p/q.html",    "https://h.com:8443/p?x=1#f", "http://h.com:80/p",
      "https://h.com:443/p",      "http://H.com/p",             "HTTP://h.com/p",
      "http://h.com",             "http://h.com?x",             "http://h.com:/p",
      "http://u@h.com/p",         "http://h.com/a/./b",         "http://h.com/a/../b",
      "http://h.com/a/..",        "http://h.com/a/.",           "http://h.com/.hidden/..x/",
      "http://h.com/%2e%2E/b",    "http://h.com/a b",           "http://h.com/a\\b",
      "http://h.com/{x}?{y}#`z`", "http://h.com/p?k=%D6%D0",    "/root/x.html?a=1&b=2#top",
      "/",                        "//other.com/p",              "/a/../b",
      "/a/%2e/b",                 " /padded ",                  "/tab\tin",
      "/\xE4\xB8\xAD",             "x.html",                     "?z=2",
      "#frag",                    "",                           "javascript:go()",
      "http:page.html"};
  for (const char* base : bases) {
    const UrlResolver resolver(base);
    for (const char* link : links)
      EXPECT_EQ(resolver.Resolve(link), ResolveUrl(base, link)) << base << " + " << link;
  }
  const UrlResolver on_page("http://Host.COM:80/dir/");
  EXPECT_EQ(on_page.Resolve("/root/x.html?a=1#top"), "http://host.com/root/x.html?a=1#top");
  EXPECT_EQ(on_page.Resolve("http://h.com:8080/a"), "http://h.com:8080/a");
}

}  // namespace
}  // namespace pitrel

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "worker/member_list.h"

namespace pitrel {
namespace {

const MarketplaceHosts kHosts{"main.test", "search.test", "members.test", "dir.test"};

std::string MemberSiteLink(const std::string& member) {
  return "<A href=\"http://" + member + ".members.test/\" target=_blank>" + member + " Co.</A>";
}

std::string Block(const std::string& links) {
  return "<DIV class=info>\r\n<DIV class=title>" + links +
         "</DIV>\r\n<A href=\"http://main.test/company/offerlist/x.html\">"
         "查看该公司发布的供应信息</A></DIV>\r\n";
}

// A result page in the shape the page layer writes: count, caption, blocks, footer.
std::string Page(const std::string& countText, const std::vector<std::string>& blocks) {
  std::string html = "<DIV class=head><SPAN>共找到" + countText +
                     "条符合条件的公司</SPAN></DIV>\r\n<DIV class=cap>公司信息</DIV>\r\n";
  for (const std::string& b : blocks) html += b;
  return html + "<DIV class=foot><A href=\"#\">清空全部选择</A></DIV>\r\n";
}

std::string Condense(const std::string& html) { return CondenseMemberList(html, kHosts); }

TEST(CondenseMemberList, CountThenOneMemberPerBlockWithoutTrailingBreak) {
  const std::string html =
      Page(" 123 ", {Block(MemberSiteLink("alpha")), Block(MemberSiteLink("beta"))});
  EXPECT_EQ(Condense(html), "123\r\nalpha\r\nbeta");
}

TEST(CondenseMemberList, FallsBackFromOfferListToDirectoryToAnyPage) {
  auto only = [](const std::string& links) {
    return Condense(Page("1", {"<DIV class=info>" + links + "</DIV>"}));
  };
  EXPECT_EQ(only("<A href=\"http://main.test/company/offerlist/alpha.html\">a</A>"), "1\r\nalpha");
  EXPECT_EQ(only("<A href=\"http://main.test/company/offerlist/alpha\">a</A>"), "1\r\n");
  EXPECT_EQ(only("<A href=\"http://dir.test/athena/beta.html\">b</A>"), "1\r\nbeta");
  EXPECT_EQ(only("<A href=\"http://elsewhere.test/shop/gamma.html\">c</A>"), "1\r\ngamma");
  EXPECT_EQ(only("<SPAN>no link, no page</SPAN>"), "1\r\n");
  EXPECT_EQ(only("<A href=\"gamma.html\">c</A>"), "1\r\n");  // no "/" before .html
}

TEST(CondenseMemberList, MemberSiteNameIsTrimmedAndNeedsTheLinkMarker) {
  auto only = [](const std::string& links) {
    return Condense(Page("1", {"<DIV class=info>" + links + "</DIV>"}));
  };
  EXPECT_EQ(only("<A href=\"http:// alpha .members.test/\">a</A>"), "1\r\nalpha");
  EXPECT_EQ(only("<A href='http://alpha.members.test/'>a</A>"), "1\r\n");
  // The last link before the member-site address names the member.
  EXPECT_EQ(only("<A href=\"http://x.test/\"></A><A href=\"http://beta.members.test/\">b</A>"),
            "1\r\nbeta");
}

TEST(CondenseMemberList, HostsMatchHoweverTheyWereConfigured) {
  const MarketplaceHosts capitals{"Main.TEST", "search.test", "Members.Test", "DIR.test"};
  auto only = [&](const std::string& links) {
    return CondenseMemberList(Page("1", {"<DIV class=info>" + links + "</DIV>"}), capitals);
  };
  // A page link ahead of the marketplace's own shows which rule named the member.
  const std::string other = "<A href=\"http://other.test/p/zeta.html\">z</A>";
  EXPECT_EQ(only(MemberSiteLink("alpha")), "1\r\nalpha");
  EXPECT_EQ(only(other + "<A href=\"http://main.test/company/offerlist/beta.html\">b</A>"),
            "1\r\nbeta");
  EXPECT_EQ(only(other + "<A href=\"http://dir.test/athena/gamma.html\">c</A>"), "1\r\ngamma");
}

TEST(CondenseMemberList, LinksKeepTheirOwnSchemeWhateverTheHostsSay) {
  const MarketplaceHosts secure{"https://main.test", "https://search.test", "https://members.test/",
                                "https://dir.test"};
  for (const MarketplaceHosts& hosts : {kHosts, secure}) {
    auto only = [&](const std::string& links) {
      return CondenseMemberList(Page("1", {"<DIV class=info>" + links + "</DIV>"}), hosts);
    };
    const std::string other = "<A href=\"https://other.test/p/zeta.html\">z</A>";
    for (const std::string scheme : {"http://", "https://"}) {
      SCOPED_TRACE(hosts.main_host + " " + scheme);
      EXPECT_EQ(only("<A href=\"" + scheme + "alpha.members.test/\">a</A>"), "1\r\nalpha");
      EXPECT_EQ(only(other + "<A href=\"" + scheme + "main.test/company/offerlist/beta.html\">b</A>"), "1\r\nbeta");
      EXPECT_EQ(only(other + "<A href=\"" + scheme + "dir.test/athena/gamma.html\">c</A>"), "1\r\ngamma");
    }
    // The last link of either scheme before the member-site address names the member.
    EXPECT_EQ(only("<A href=\"https://x.test/\"></A><A href=\"http://beta.members.test/\">b</A>"), "1\r\nbeta");
    EXPECT_EQ(only("<A href=\"http://x.test/\"></A><A href=\"https://beta.members.test/\">b</A>"), "1\r\nbeta");
  }
}

TEST(CondenseMemberList, LineBreaksNeverSplitANameOrABlock) {
  const std::string html =
      Page("2", {"<DIV class=info><A href=\"http://al\r\npha.members.test/\">a</A></DIV>\r\n",
                 "<DIV class\r\n=info><A href=\"http://main.test/company/offerlist/be\r\nta.html\">"});
  EXPECT_EQ(Condense(html), "2\r\nalpha\r\nbeta");
}

TEST(CondenseMemberList, CountThatIsNoNumberOrTooLargeReadsZero) {
  const std::string block = Block(MemberSiteLink("alpha"));
  EXPECT_EQ(Condense(Page("约 12", {block})), "0\r\nalpha");
  EXPECT_EQ(Condense(Page("99999999999", {block})), "0\r\nalpha");
  EXPECT_EQ(Condense(Page("-3", {block})), "-3\r\nalpha");
  EXPECT_EQ(Condense(Page("1,234", {block})), "1\r\nalpha");
  EXPECT_EQ(Condense("<DIV class=info>" + MemberSiteLink("alpha")), "0\r\nalpha");
}

TEST(CondenseMemberList, ASingleHitSearchYieldsItsMember) {
  EXPECT_EQ(Condense(Page("1", {Block(MemberSiteLink("solo"))})), "1\r\nsolo");
}

TEST(CondenseMemberList, PageWithoutCompanyBlocksYieldsNothing) {
  EXPECT_EQ(Condense(Page("0", {})), "");
  EXPECT_EQ(Condense(""), "");
}

TEST(CondenseMemberList, BlocksOutsideTheListAreIgnored) {
  const std::string advert = "<DIV class=info>" + MemberSiteLink("advert") + "</DIV>";
  std::string html = advert + Page("1", {Block(MemberSiteLink("alpha"))}) + advert;
  EXPECT_EQ(Condense(html), "1\r\nalpha");
}

TEST(CondenseMemberList, DuplicatesAreKept) {
  const std::string block = Block(MemberSiteLink("alpha"));
  EXPECT_EQ(Condense(Page("3", {block, block, block})), "3\r\nalpha\r\nalpha\r\nalpha");
}

}  // namespace
}  // namespace pitrel

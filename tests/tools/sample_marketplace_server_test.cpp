#include "tests/tools/market_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace sample_market {
namespace {

using testing::CountOf;
using testing::Get;
using testing::SearchPath;
using testing::Utf8Body;
using Clock = std::chrono::steady_clock;

// Options with one value changed, e.g. Options(&MarketplaceOptions::members, 50).
MarketplaceOptions Options(int MarketplaceOptions::*field, int value) {
  MarketplaceOptions options;
  options.*field = value;
  return options;
}

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

const Member& FirstWith(const Catalogue& catalogue, ContactForm form) {
  for (const Member& m : catalogue.members()) {
    if (m.contact_form == form) return m;
  }
  throw std::logic_error("no member with that contact form");
}

class SampleMarketplaceTest : public ::testing::Test {
 protected:
  void StartWith(MarketplaceOptions options) {
    market_ = std::make_unique<SampleMarketplace>(std::move(options));
    std::string error;
    ASSERT_TRUE(market_->Start(&error)) << error;
  }
  void SetUp() override { StartWith({}); }

  std::unique_ptr<SampleMarketplace> market_;
};

TEST_F(SampleMarketplaceTest, StartsOnAFreePortAndNamesItInTheEnvironmentLines) {
  ASSERT_GT(market_->port(), 0);
  std::string host = "127.0.0.1:" + std::to_string(market_->port());
  std::vector<std::string> lines = market_->EnvironmentLines();
  EXPECT_EQ(lines, (std::vector<std::string>{"QUENLO_MAIN_HOST=" + host, "QUENLO_SEARCH_HOST=" + host,
                                             "QUENLO_MEMBER_DOMAIN=shop.sample.test",
                                             "QUENLO_DIRECTORY_HOST=dir.sample.test"}));
}

TEST_F(SampleMarketplaceTest, ServesEveryPageKindAsGbkHtml) {
  const Member& own = FirstWith(market_->catalogue(), ContactForm::kMarketplacePage);
  const Member& site = FirstWith(market_->catalogue(), ContactForm::kMemberSite);
  const std::pair<std::string, std::string> pages[] = {
      {SearchPath("hits5", 1), "共找到 5 条符合"},
      {"/company/detail/contact/" + own.name + ".html", "电　　话："},
      {MemberSiteContactPath(site.name), "技术支持：阿里巴巴"},
      {"/company/detail/intro/" + own.name + ".html", "友情链接"},
      {"/credit/" + own.name + ".html", "卖家信用："},
  };
  for (const auto& [path, marker] : pages) {
    SCOPED_TRACE(path);
    httplib::Result result = Get(*market_, path);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=gbk");
    EXPECT_FALSE(IsValidUtf8(result->body)) << "Chinese text must arrive as GBK, not UTF-8";
    EXPECT_EQ(ToGbk(FromGbk(result->body)), result->body);
    EXPECT_NE(Utf8Body(result).find(marker), std::string::npos);
    EXPECT_NE(Utf8Body(result).find("charset=gbk"), std::string::npos);
  }
}

TEST_F(SampleMarketplaceTest, ContactPagesOfMemberSitesRedirectToTheSite) {
  const Member& site = FirstWith(market_->catalogue(), ContactForm::kMemberSite);
  httplib::Result redirect = Get(*market_, "/company/detail/contact/" + site.name + ".html");
  ASSERT_TRUE(redirect);
  EXPECT_EQ(redirect->status, 302);
  EXPECT_EQ(redirect->get_header_value("Location"), market_->Url(MemberSiteContactPath(site.name)));

  const Member& own = FirstWith(market_->catalogue(), ContactForm::kMarketplacePage);
  httplib::Result direct = Get(*market_, "/company/detail/contact/" + own.name + ".html");
  ASSERT_TRUE(direct);
  EXPECT_EQ(direct->status, 200);
  EXPECT_NE(Utf8Body(direct).find(own.company), std::string::npos);
}

TEST_F(SampleMarketplaceTest, UnknownPagesAndMissingOfferListsAre404) {
  const Member* without_offers = nullptr;
  for (const Member& m : market_->catalogue().members()) {
    if (!m.has_offer_list) without_offers = &m;
  }
  ASSERT_NE(without_offers, nullptr);
  EXPECT_EQ(Get(*market_, "/company/offerlist/" + without_offers->name + ".html")->status, 404);
  EXPECT_EQ(Get(*market_, "/company/detail/contact/nosuchmember.html")->status, 404);
  EXPECT_EQ(Get(*market_, "/favicon.ico")->status, 404);
}

TEST_F(SampleMarketplaceTest, SplitsHitsIntoPagesOfFortyWithTheCountOnEveryPage) {
  const int expected_blocks[] = {40, 40, 15, 0};
  for (int page = 1; page <= 4; ++page) {
    std::string body = Utf8Body(Get(*market_, SearchPath("hits95", page)));
    EXPECT_EQ(CountOf(body, "<div class=info>"), expected_blocks[page - 1]) << "page " << page;
    EXPECT_NE(body.find(">共找到 95 条符合"), std::string::npos) << "page " << page;
  }
  std::string first = Utf8Body(Get(*market_, SearchPath("hits95", 1)));
  EXPECT_NE(first.find(market_->catalogue().at(1).name), std::string::npos);
  EXPECT_NE(first.find(market_->catalogue().at(40).name), std::string::npos);
  EXPECT_EQ(first.find(market_->catalogue().at(41).name), std::string::npos);
}

TEST_F(SampleMarketplaceTest, KeywordsChooseTheCount) {
  std::string none = Utf8Body(Get(*market_, SearchPath("hits0", 1)));
  EXPECT_NE(none.find("共找到 0 条符合"), std::string::npos);
  EXPECT_EQ(CountOf(none, "<div class=info>"), 0);

  std::string uncounted = Utf8Body(Get(*market_, SearchPath("nocount", 1)));
  EXPECT_NE(uncounted.find("共找到 若干 条符合"), std::string::npos);
  EXPECT_EQ(CountOf(uncounted, "<div class=info>"), 40);

  std::string everything = Utf8Body(Get(*market_, SearchPath("anything", 3)));
  EXPECT_NE(everything.find("共找到 100 条符合"), std::string::npos);
  EXPECT_EQ(CountOf(everything, "<div class=info>"), 20);
}

TEST_F(SampleMarketplaceTest, HitsBeyondTheCatalogueRepeatNames) {
  StartWith(Options(&MarketplaceOptions::members, 50));
  std::string second = Utf8Body(Get(*market_, SearchPath("hits120", 2)));
  EXPECT_EQ(CountOf(second, "<div class=info>"), 40);
  // Hits 41..80 are members 41..50, then 1..30 again.
  EXPECT_NE(second.find(market_->catalogue().at(50).name), std::string::npos);
  EXPECT_NE(second.find(market_->catalogue().at(1).name), std::string::npos);
}

TEST_F(SampleMarketplaceTest, ReadsKeywordsEncodedAsUtf8OrGbkAndTheOverseasForm) {
  std::string utf8 = Utf8Body(Get(*market_, "/company/%E7%BD%91%E7%BB%9C/1.html?page_size=40&province="));
  EXPECT_NE(utf8.find("条符合“网络”"), std::string::npos);
  std::string gbk = Utf8Body(Get(*market_, "/company/%CD%F8%C2%E7/1.html?page_size=40&province="));
  EXPECT_NE(gbk.find("条符合“网络”"), std::string::npos);

  std::string overseas = Utf8Body(Get(*market_,
      "/search/company_search.htm?filt=y&pageSize=40&province=&show_province=%BA%A3%CD%E2"
      "&biztype=&established_year=&keywords=hits7"));
  EXPECT_NE(overseas.find("共找到 7 条符合"), std::string::npos);
  EXPECT_EQ(CountOf(overseas, "<div class=info>"), 7);
}

TEST_F(SampleMarketplaceTest, PagesAreDeterministicForASeed) {
  MarketplaceOptions second_seed;
  second_seed.seed = 2;
  SampleMarketplace same{MarketplaceOptions{}}, other{second_seed};
  ASSERT_TRUE(same.Start());
  ASSERT_TRUE(other.Start());
  const Member& member = market_->catalogue().at(7);
  for (std::string path : {SearchPath("hits60", 2), "/company/detail/contact/" + member.name + ".html",
                           "/company/detail/intro/" + member.name + ".html", "/credit/" + member.name + ".html"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(Get(*market_, path, "market.test")->body, Get(same, path, "market.test")->body);
  }
  EXPECT_NE(Get(*market_, SearchPath("hits60", 2), "market.test")->body,
            Get(other, SearchPath("hits60", 2), "market.test")->body);
}

TEST_F(SampleMarketplaceTest, PadsPagesToTheChosenSizeWithoutTouchingTheirContent) {
  const Member& member = FirstWith(market_->catalogue(), ContactForm::kMarketplacePage);
  std::string path = "/company/detail/contact/" + member.name + ".html";
  std::string plain = Utf8Body(Get(*market_, path, "market.test"));
  StartWith(Options(&MarketplaceOptions::page_kb, 40));
  httplib::Result padded = Get(*market_, path, "market.test");
  EXPECT_GE(padded->body.size(), 40u * 1024);
  EXPECT_LE(padded->body.size(), 42u * 1024);
  std::size_t from = plain.find("<div class=box>"), to = plain.find("<div class=copyright>");
  EXPECT_NE(Utf8Body(padded).find(plain.substr(from, to - from)), std::string::npos);
}

TEST_F(SampleMarketplaceTest, ShowsHostileNamesInSearchPagesAndServesTheirPages) {
  MarketplaceOptions options;
  options.faults.hostile_names = true;
  StartWith(options);
  std::string page = Utf8Body(Get(*market_, SearchPath("hits40", 1)));
  for (std::string_view name : kHostileNames) {
    EXPECT_NE(page.find("/company/offerlist/" + std::string(name) + ".html"), std::string::npos) << name;
  }
  EXPECT_NE(Get(*market_, "/company/detail/intro/a'b.html")->status, 404);
  EXPECT_NE(Get(*market_, "/company/detail/intro/x%20y.html")->status, 404);
  EXPECT_NE(Get(*market_, "/company/detail/intro/a/b.html")->status, 404);
}

TEST_F(SampleMarketplaceTest, ServesManySlowPagesAtOnce) {
  StartWith(Options(&MarketplaceOptions::latency_ms, 200));
  Clock::time_point start = Clock::now();
  std::vector<std::future<int>> answers;
  for (int i = 0; i < 50; ++i) {
    answers.push_back(std::async(std::launch::async, [&, i] {
      httplib::Result result = Get(*market_, "/credit/" + market_->catalogue().at(i + 1).name + ".html");
      return result ? result->status : -1;
    }));
  }
  for (auto& answer : answers) EXPECT_EQ(answer.get(), 200);
  long long elapsed = MillisecondsSince(start);
  EXPECT_GE(elapsed, 200);
  EXPECT_LT(elapsed, 5000) << "50 answers of 200 ms each were served one after another";
}

class SampleMarketplaceFaultTest : public SampleMarketplaceTest {
 protected:
  void StartWithFaults(const std::string& plan, MarketplaceOptions options = {}) {
    std::string error;
    ASSERT_TRUE(ParseFaultPlan(plan, &options.faults, &error)) << error;
    StartWith(std::move(options));
  }
  std::string IntroPath(int number) {
    return "/company/detail/intro/" + market_->catalogue().at(number).name + ".html";
  }
};

TEST_F(SampleMarketplaceFaultTest, FailsOnlyTheChosenPagesAsNamed) {
  StartWithFaults("500@intro:#1,reset@intro:#2,truncate@intro:#3,garbage@intro:#4");
  httplib::Result error = Get(*market_, IntroPath(1));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->status, 500);

  httplib::Result reset = Get(*market_, IntroPath(2));
  EXPECT_FALSE(reset) << "a reset connection delivered an answer";

  httplib::Result truncated = Get(*market_, IntroPath(3));
  EXPECT_FALSE(truncated) << "a body cut short was taken as complete";

  httplib::Result garbage = Get(*market_, IntroPath(4));
  ASSERT_TRUE(garbage);
  EXPECT_EQ(garbage->status, 200);
  EXPECT_EQ(Utf8Body(garbage).find("友情链接"), std::string::npos);

  httplib::Result healthy = Get(*market_, IntroPath(5));
  ASSERT_TRUE(healthy);
  EXPECT_EQ(healthy->status, 200);

  // Failed requests are on record too.
  EXPECT_EQ(market_->RequestedPaths(),
            (std::vector<std::string>{IntroPath(1), IntroPath(2), IntroPath(3), IntroPath(4), IntroPath(5)}));
}

TEST_F(SampleMarketplaceFaultTest, SlowPagesWaitAndOthersDoNot) {
  StartWithFaults("slow@search:2", Options(&MarketplaceOptions::slow_ms, 1000));
  Clock::time_point start = Clock::now();
  ASSERT_TRUE(Get(*market_, SearchPath("hits95", 1)));
  EXPECT_LT(MillisecondsSince(start), 700);
  start = Clock::now();
  httplib::Result slow = Get(*market_, SearchPath("hits95", 2));
  ASSERT_TRUE(slow);
  EXPECT_EQ(slow->status, 200);
  EXPECT_GE(MillisecondsSince(start), 1000);
}

TEST_F(SampleMarketplaceFaultTest, HangingPagesNeverAnswerAndEndWithShutdown) {
  StartWithFaults("hang@credit:*", Options(&MarketplaceOptions::hang_limit_ms, 60'000));
  auto answer = std::async(std::launch::async, [&] {
    return static_cast<bool>(Get(*market_, "/credit/" + market_->catalogue().at(1).name + ".html"));
  });
  EXPECT_EQ(answer.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
  Clock::time_point start = Clock::now();
  market_->Stop();
  EXPECT_LT(MillisecondsSince(start), 3000);
  ASSERT_EQ(answer.wait_for(std::chrono::seconds(3)), std::future_status::ready);
  EXPECT_FALSE(answer.get()) << "a hanging page answered";
}

TEST_F(SampleMarketplaceFaultTest, HangingIsBoundedByTheHangLimit) {
  StartWithFaults("hang@any", Options(&MarketplaceOptions::hang_limit_ms, 300));
  Clock::time_point start = Clock::now();
  EXPECT_FALSE(Get(*market_, SearchPath("hits1", 1)));
  EXPECT_GE(MillisecondsSince(start), 300);
  EXPECT_LT(MillisecondsSince(start), 5000);
}

}  // namespace
}  // namespace sample_market

// Kept answers: a page asked for again must go out exactly as a freshly made
// one, compressed or not, and faults and latency still apply every time.
#include "tests/tools/market_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace sample_market {
namespace {

// An answer as it crossed the wire, nothing decompressed unless asked.
httplib::Result Fetch(const SampleMarketplace& market, const std::string& path, const std::string& host,
                      const std::string& accept_encoding, bool decompress = false) {
  httplib::Client client("127.0.0.1", market.port());
  client.set_read_timeout(10, 0);
  client.set_decompress(decompress);
  return client.Get(path, {{"Host", host}, {"Accept-Encoding", accept_encoding}});
}

std::unique_ptr<SampleMarketplace> StartedWithCache(std::size_t bytes) {
  MarketplaceOptions options;
  options.page_kb = 40;
  options.cache_bytes = bytes;
  auto market = std::make_unique<SampleMarketplace>(options);
  EXPECT_TRUE(market->Start());
  return market;
}

TEST(SampleMarketplaceCacheTest, KeptPagesGoOutByteForByteAsFreshlyMadeOnes) {
  auto fresh = StartedWithCache(0);  // every answer made, and compressed by httplib, per request
  auto kept = StartedWithCache(std::size_t{64} << 20);
  auto tight = StartedWithCache(60 * 1024);  // room for about one page
  std::string site_member, own_member, no_offers;
  for (const Member& m : fresh->catalogue().members()) {
    (m.contact_form == ContactForm::kMemberSite ? site_member : own_member) = m.name;
    if (!m.has_offer_list) no_offers = m.name;
  }
  const std::string overseas = "/search/company_search.htm?filt=y&pageSize=40&keywords=";
  const std::string own_intro = "/company/detail/intro/" + own_member + ".html";
  for (const std::string& path :
       {testing::SearchPath("hits95", 2), overseas + "hits7", overseas + "hits9",
        "/company/detail/contact/" + site_member + ".html", "/company/detail/contact/" + own_member + ".html",
        MemberSiteContactPath(site_member), own_intro, "/credit/" + own_member + ".html",
        "/company/offerlist/" + no_offers + ".html", std::string("/favicon.ico")}) {
    for (const std::string host : {"market.test", "127.0.0.1:1"}) {
      const std::string plain = Fetch(*fresh, path, host, "identity")->body;
      for (const std::string encoding : {"identity", "gzip, deflate", "br, gzip, deflate"}) {
        SCOPED_TRACE(path + " from " + host + " as " + encoding);
        httplib::Result expected = Fetch(*fresh, path, host, encoding);
        ASSERT_TRUE(expected);
        for (const auto* market : {kept.get(), tight.get(), kept.get(), tight.get()}) {
          httplib::Result answer = Fetch(*market, path, host, encoding);
          ASSERT_TRUE(answer);
          EXPECT_EQ(answer->status, expected->status);
          EXPECT_EQ(answer->headers, expected->headers);
          EXPECT_TRUE(answer->body == expected->body);
        }
        EXPECT_TRUE(Fetch(*kept, path, host, encoding, true)->body == plain) << "decoded differently";
      }
    }
  }
  EXPECT_GT(tight->CachedBytes(), 0u);
  EXPECT_LE(tight->CachedBytes(), tight->options().cache_bytes);
  EXPECT_GT(kept->CachedBytes(), 2 * tight->CachedBytes());

  // Fifteen first requests for one page at once all get the same bytes.
  auto busy = StartedWithCache(std::size_t{64} << 20);
  const std::string expected = Fetch(*fresh, own_intro, "market.test", "gzip, deflate")->body;
  std::vector<std::future<httplib::Result>> answers;
  for (int i = 0; i < 15; ++i) {
    answers.push_back(
        std::async(std::launch::async, [&] { return Fetch(*busy, own_intro, "market.test", "gzip, deflate"); }));
  }
  for (auto& answer : answers) {
    httplib::Result result = answer.get();
    EXPECT_TRUE(result && result->body == expected);
  }
}

TEST(SampleMarketplaceCacheTest, FaultsAndLatencyApplyToEveryRequest) {
  MarketplaceOptions options;
  options.latency_ms = 100;
  options.slow_ms = 200;
  options.hang_limit_ms = 150;
  std::string error;
  ASSERT_TRUE(ParseFaultPlan("500@intro:#1,reset@intro:#2,truncate@intro:#3,garbage@intro:#4,slow@intro:#5,"
                             "hang@intro:#6", &options.faults, &error)) << error;
  SampleMarketplace market(options);
  ASSERT_TRUE(market.Start());
  // Per member: the status expected (0: no answer), whether the page is in it, the least time taken.
  const struct { int status; bool page; long long ms; } expected[] = {
      {500, false, 100}, {0, false, 100}, {0, false, 100}, {200, false, 100}, {200, true, 300}, {0, false, 250},
      {200, true, 100}};
  for (int round = 0; round < 2; ++round) {
    for (int number = 1; number <= 7; ++number) {
      SCOPED_TRACE("member " + std::to_string(number) + ", round " + std::to_string(round));
      const auto start = std::chrono::steady_clock::now();
      httplib::Result answer = Fetch(market, "/company/detail/intro/" + market.catalogue().at(number).name + ".html",
                                     "market.test", "gzip, deflate", true);
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
      const auto& want = expected[number - 1];
      EXPECT_GE(ms.count(), want.ms);
      ASSERT_EQ(answer ? answer->status : 0, want.status);
      if (answer) {
        EXPECT_EQ(testing::Utf8Body(answer).find("友情链接") != std::string::npos, want.page);
      }
    }
  }
}

}  // namespace
}  // namespace sample_market

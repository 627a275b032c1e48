#include "worker/page/page_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "local_site.h"
#include "worker/page/fetch.h"

namespace pitrel {
namespace {

// "中文" in GBK and UTF-8.
constexpr char kGbkChinese[] = "\xD6\xD0\xCE\xC4";
constexpr char kUtf8Chinese[] = "\xE4\xB8\xAD\xE6\x96\x87";

class PageEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& server = site_.server();
    server.Get("/plain", [this](const httplib::Request& request, httplib::Response& response) {
      {
        std::lock_guard lock(mutex_);
        last_target_ = request.target;
        last_accept_encoding_ = request.get_header_value("Accept-Encoding");
      }
      response.set_content(std::string("<html><body><div class=info>") + kGbkChinese +
                               "<a href=\"/m/alpha.html\">a</a></div></body></html>",
                           "text/html; charset=gb2312");
    });
    server.Get("/moved", [](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("/plain", 302);
    });
    server.Get("/big", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("<p>" + std::string(200'000, 'x') + "</p>", "text/html; charset=utf-8");
    });
    server.Get("/slow", [](const httplib::Request&, httplib::Response& response) {
      std::this_thread::sleep_for(std::chrono::seconds(2));
      response.set_content("<p>late</p>", "text/html");
    });
    server.Get("/broken", [](const httplib::Request&, httplib::Response& response) {
      response.status = 500;
      response.set_content("<h1>Server error</h1>", "text/html");
    });
    site_.Start();
  }

  std::string LastTarget() {
    std::lock_guard lock(mutex_);
    return last_target_;
  }

  testing::LocalSite site_;
  std::mutex mutex_;
  std::string last_target_;
  std::string last_accept_encoding_;
};

TEST_F(PageEngineTest, LoadsDecodesAndWritesTextAndMarkup) {
  const std::string url = site_.Url("/plain");
  const LoadedPage page = MakeDefaultPageEngine()->Load(url);
  ASSERT_TRUE(page.loaded) << page.error;
  EXPECT_EQ(page.requested_url, url);
  EXPECT_EQ(page.location_url, url);
  EXPECT_EQ(page.BodyText(), std::string(kUtf8Chinese) + "a");
  EXPECT_EQ(page.BodyHtml(), "\r\n<DIV class=info>" + std::string(kUtf8Chinese) + "<A href=\"" +
                                 site_.Url("/m/alpha.html") + "\">a</A></DIV>");
}

TEST_F(PageEngineTest, LocationIsTheRequestedTextWithoutRedirectAndTheFinalUrlAfterOne) {
  const std::string unencoded = site_.Url("/plain?k=") + kUtf8Chinese;
  const LoadedPage direct = MakeDefaultPageEngine()->Load(unencoded);
  EXPECT_EQ(direct.location_url, unencoded);
  EXPECT_EQ(LastTarget(), "/plain?k=%D6%D0%CE%C4");

  const LoadedPage moved = MakeDefaultPageEngine()->Load(site_.Url("/moved"));
  ASSERT_TRUE(moved.loaded);
  EXPECT_EQ(moved.location_url, site_.Url("/plain"));
  EXPECT_EQ(moved.BodyText(), std::string(kUtf8Chinese) + "a");
}

TEST_F(PageEngineTest, AsksForCompressedTransfer) {
  const FetchResult result = FetchUrl(site_.Url("/plain"), {});
  ASSERT_TRUE(result.received);
  std::lock_guard lock(mutex_);
  EXPECT_NE(last_accept_encoding_.find("gzip"), std::string::npos);
}

TEST_F(PageEngineTest, LargeCompressedPageArrivesWholeAndTheSizeCapCutsIt) {
  const FetchResult whole = FetchUrl(site_.Url("/big"), {});
  EXPECT_EQ(whole.body.size(), 200'007u);
  FetchLimits small;
  small.max_bytes = 10'000;
  const FetchResult capped = FetchUrl(site_.Url("/big"), small);
  EXPECT_TRUE(capped.received);
  EXPECT_EQ(capped.body.size(), 10'000u);
  EXPECT_FALSE(capped.error.empty());
}

TEST_F(PageEngineTest, ErrorPageStillYieldsItsBody) {
  const LoadedPage page = MakeDefaultPageEngine()->Load(site_.Url("/broken"));
  EXPECT_TRUE(page.loaded);
  EXPECT_EQ(page.BodyText(), "Server error");
}

TEST_F(PageEngineTest, TotalTimeoutEndsASlowServerWithNothingLoaded) {
  FetchLimits limits;
  limits.total_timeout_ms = 300;
  const auto start = std::chrono::steady_clock::now();
  const LoadedPage page = MakeDefaultPageEngine(limits)->Load(site_.Url("/slow"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
  EXPECT_FALSE(page.loaded);
  EXPECT_TRUE(page.BodyText().empty());
  EXPECT_TRUE(page.BodyHtml().empty());
  EXPECT_FALSE(page.error.empty());
}

TEST(PageEngine, RefusedConnectionLoadsNothing) {
  std::string url;
  {
    testing::LocalSite closed;
    closed.Start();
    url = closed.Url("/");
  }
  const LoadedPage page = MakeDefaultPageEngine()->Load(url);
  EXPECT_FALSE(page.loaded);
  EXPECT_EQ(page.location_url, url);
  EXPECT_TRUE(page.BodyText().empty());
}

TEST(PageEngine, ReadsFileUrlsWithTheirMetaCharset) {
  const auto path = std::filesystem::temp_directory_path() / "pitrel_page_engine_test.html";
  {
    std::ofstream out(path, std::ios::binary);
    out << "<meta charset=utf-8><p>" << kUtf8Chinese << "</p><img src=\"pic.png\">";
  }
  const std::string url = "file://" + path.string();
  const LoadedPage page = MakeDefaultPageEngine()->Load(url);
  std::filesystem::remove(path);
  ASSERT_TRUE(page.loaded) << page.error;
  EXPECT_EQ(page.location_url, url);
  EXPECT_EQ(page.BodyText(), kUtf8Chinese);
  EXPECT_NE(page.BodyHtml().find("src=\"file://" + path.parent_path().string() + "/pic.png\""),
            std::string::npos);
}

}  // namespace
}  // namespace pitrel

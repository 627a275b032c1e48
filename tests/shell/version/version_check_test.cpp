#include "shell/version/version_check.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QApplication>
#include <QWidget>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <thread>

#include "shell/url_opener.h"
#include "shell/maker_site.h"
#include "shell/version/version_text.h"
#include "store/proxy_setting.h"
#include "tests/support/recording_messenger.h"
#include "tools/logging_proxy/logging_proxy.h"

namespace quenlo {
namespace {

using testing::Answer;
using testing::RecordingMessenger;

// The maker's site on 127.0.0.1: the product page shows whatever the test sets.
class MakerSite {
 public:
  MakerSite() {
    server_.Get("/downpage/Product.asp", [this](const httplib::Request& request, httplib::Response& response) {
      ++requests;
      last_id = request.get_param_value("ID");
      if (delay_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms.load()));
      response.status = status;
      response.set_content(page.toStdString(), "text/html; charset=utf-8");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~MakerSite() {
    server_.stop();
    thread_.join();
  }
  QString Base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }

  QString page;
  int status = 200;
  std::atomic<int> requests{0};
  std::atomic<int> delay_ms{0};
  std::string last_id;

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
};

QString ProductPage(const QString& between) {
  return QStringLiteral("<html><body><h1>Quenlo</h1><p>软件版本：") + between +
         QStringLiteral("软件售价：200元</p></body></html>");
}

class VersionCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The test's window stands for the program's: closing it must not end
    // the event loop the test runs.
    QApplication::setQuitOnLastWindowClosed(false);
    qputenv(kMakerSiteVariable, site_.Base().toUtf8());
    SetUrlOpener([this](const QUrl& url) { opened_.append(url.toString()); });
    ResetVersionCheck();
  }
  void TearDown() override {
    SetUrlOpener({});
    qunsetenv(kMakerSiteVariable);
  }

  QString Check() { return CheckNewVersion(QStringLiteral("Quenlo1.0"), 32); }

  MakerSite site_;
  RecordingMessenger messenger_{Answer::Yes};
  QStringList opened_;
};

TEST_F(VersionCheckTest, NewerVersionAsksAndYesOpensTheProductPage) {
  site_.page = ProductPage(QStringLiteral("2.1 "));
  EXPECT_EQ(Check(), "2.1");
  ASSERT_EQ(messenger_.questions.size(), 1);
  EXPECT_EQ(messenger_.questions[0], NewVersionQuestion(QStringLiteral("2.1"), MakerSiteName()));
  EXPECT_TRUE(messenger_.questions[0].startsWith(QStringLiteral("本软件已升级，最新版本号为：2.1\r\n\r\n现在就从")));
  EXPECT_EQ(site_.last_id, "32");
  EXPECT_EQ(opened_, QStringList{site_.Base() + "downpage/Product.asp?ID=32"});
  EXPECT_EQ(VersionCheckState(), "2.1");
}

TEST_F(VersionCheckTest, OlderVersionAsksTooAndNoOpensNothing) {
  site_.page = ProductPage(QStringLiteral("V0.9"));
  messenger_.answer = Answer::No;
  EXPECT_EQ(Check(), "0.9");
  EXPECT_EQ(messenger_.questions.size(), 1);
  EXPECT_TRUE(opened_.isEmpty());
  EXPECT_EQ(VersionCheckState(), "0.9");
}

TEST_F(VersionCheckTest, SameVersionAsksNothingAndRecordsIt) {
  site_.page = ProductPage(QStringLiteral(" 1.0 "));
  EXPECT_EQ(Check(), "1.0");
  EXPECT_TRUE(messenger_.questions.isEmpty());
  EXPECT_EQ(VersionCheckState(), "1.0");
}

TEST_F(VersionCheckTest, UnusablePagesAskNothingAndLeaveStateZero) {
  const QString pages[] = {
      QStringLiteral("<p>软件售价：200元 软件版本：2.1</p>"),  // markers in the wrong order
      QStringLiteral("<p>软件版本：软件售价：</p>"),           // nothing between them
      ProductPage(QStringLiteral("free")),                    // no number
      QStringLiteral("<p>no markers at all</p>"),
  };
  for (const QString& page : pages) {
    ResetVersionCheck();
    site_.page = page;
    EXPECT_EQ(Check(), "") << page.toStdString();
    EXPECT_EQ(VersionCheckState(), "0") << page.toStdString();
  }
  EXPECT_TRUE(messenger_.questions.isEmpty());
}

TEST_F(VersionCheckTest, ErrorPageCountsAsMissing) {
  site_.page = ProductPage(QStringLiteral("2.1"));
  site_.status = 404;
  EXPECT_EQ(Check(), "");
  EXPECT_TRUE(messenger_.questions.isEmpty());
}

TEST_F(VersionCheckTest, GoesThroughQuenlosProxyWhenOneIsSet) {
  site_.page = ProductPage(QStringLiteral("2.1"));
  logging_proxy::LoggingProxy proxy;
  ASSERT_TRUE(proxy.Start());
  qputenv(kProxyVariable, QByteArray::fromStdString(proxy.Url()));
  EXPECT_EQ(Check(), "2.1");
  qunsetenv(kProxyVariable);
  EXPECT_EQ(proxy.Log(), std::vector<std::string>{"GET " + site_.Base().toStdString() +
                                                  "downpage/Product.asp?ID=32 -> 200"});
}

TEST_F(VersionCheckTest, RunsOncePerStart) {
  site_.page = ProductPage(QStringLiteral("2.1"));
  Check();
  EXPECT_EQ(Check(), "");
  EXPECT_EQ(site_.requests, 1);
  EXPECT_EQ(messenger_.questions.size(), 1);
}

TEST_F(VersionCheckTest, SlowSiteEndsTheCheckWhileTheEventLoopKeepsRunning) {
  site_.page = ProductPage(QStringLiteral("2.1"));
  site_.delay_ms = 3000;
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(20);
  // A second tick of the start-up timer arriving during the wait ends at once.
  QString nested = QStringLiteral("not run");
  QTimer::singleShot(50, [&] { nested = Check(); });

  pitrel::FetchLimits limits;
  limits.total_timeout_ms = 400;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CheckNewVersion(QStringLiteral("Quenlo1.0"), 32, limits), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
  EXPECT_GE(ticks, 5);
  EXPECT_EQ(nested, "");
  EXPECT_TRUE(messenger_.questions.isEmpty());
  EXPECT_EQ(VersionCheckState(), "0");
}

TEST_F(VersionCheckTest, ClosingTheWindowEndsTheWaitAtOnce) {
  site_.page = ProductPage(QStringLiteral("2.1"));
  site_.delay_ms = 3000;
  QWidget window;
  window.show();
  // As in the program: the check runs from a timer of the running event loop.
  QString result = QStringLiteral("not run");
  auto elapsed = std::chrono::steady_clock::duration::max();
  QTimer::singleShot(0, [&] {
    QTimer::singleShot(100, &window, &QWidget::close);
    const auto start = std::chrono::steady_clock::now();
    result = Check();
    elapsed = std::chrono::steady_clock::now() - start;
    QCoreApplication::exit();
  });
  QCoreApplication::exec();
  EXPECT_EQ(result, "");
  EXPECT_LT(elapsed, std::chrono::milliseconds(1500));
  EXPECT_TRUE(messenger_.questions.isEmpty());
}

TEST(VersionCheck, UnreachableSiteAsksNothing) {
  qputenv(kMakerSiteVariable, "http://127.0.0.1:1/");
  RecordingMessenger messenger{Answer::Yes};
  ResetVersionCheck();
  EXPECT_EQ(CheckNewVersion(QStringLiteral("Quenlo1.0"), 32), "");
  EXPECT_TRUE(messenger.questions.isEmpty());
  EXPECT_EQ(VersionCheckState(), "0");
  qunsetenv(kMakerSiteVariable);
}

TEST(VersionText, FiltersAndReadsVersionNumbers) {
  EXPECT_EQ(FilterVersionText(QStringLiteral("V2.3 Build 5")), "2.35");
  EXPECT_EQ(FilterVersionText(QStringLiteral("Quenlo1.0")), "1.0");
  EXPECT_DOUBLE_EQ(VersionNumber(QStringLiteral("1.2.3")), 1.2);
  EXPECT_DOUBLE_EQ(VersionNumber(QStringLiteral("")), 0.0);
  EXPECT_DOUBLE_EQ(VersionNumber(QStringLiteral("...")), 0.0);
  EXPECT_EQ(PublishedVersion(QStringLiteral("软件版本：x软件售价：")), "");
  EXPECT_EQ(PublishedVersion(QStringLiteral("软件版本：3.2\r\n软件售价：")), "3.2");
}

TEST(MakerSite, VariableAddressGetsSchemeAndTrailingSlash) {
  qputenv(kMakerSiteVariable, "127.0.0.1:8080/soft");
  EXPECT_EQ(ProductPageUrl(32), "http://127.0.0.1:8080/soft/downpage/Product.asp?ID=32");
  qunsetenv(kMakerSiteVariable);
}

}  // namespace
}  // namespace quenlo

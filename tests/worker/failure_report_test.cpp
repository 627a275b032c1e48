// The real pitrel against servers that fail: what it writes beside its
// result, and how it ends (worker/protocol.h, "Failures").
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "page/raw_server.h"
#include "tools/sample_market/expected_results.h"
#include "tools/sample_market/gbk.h"
#include "tools/sample_market/server.h"
#include "worker/protocol.h"
#include "worker_process.h"

namespace pitrel {
namespace {

namespace fs = std::filesystem;

class FailureReportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    sample_market::MarketplaceOptions options;
    options.members = 8;
    std::string error;
    ASSERT_TRUE(sample_market::ParseFaultPlan(
        "500@any:#1,reset@any:#2,truncate@any:#3,garbage@any:#4", &options.faults, &error));
    market_ = new sample_market::SampleMarketplace(options);
    ASSERT_TRUE(market_->Start(&error)) << error;
  }
  static void TearDownTestSuite() {
    market_->Stop();
    delete market_;
  }

  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("pitrel_failure_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Run(const std::string& url, const std::string& result, int flag = kContactFlag) const {
    return testing::WaitForWorker(testing::StartWorker(
        testing::kPitrelProgram, {WorkerCommandLine(url, result, flag)}, dir_, market_->EnvironmentLines()));
  }

  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::optional<PageFailure> Companion(const std::string& result) const {
    return ParsePageFailure(Read(FailureFileFor(result)));
  }
  static std::string ContactUrl(const std::string& name) {
    return market_->Url("/company/detail/contact/" + name + ".html");
  }

  static sample_market::SampleMarketplace* market_;
  fs::path dir_;
};

sample_market::SampleMarketplace* FailureReportTest::market_ = nullptr;

TEST_F(FailureReportTest, ServerFaultsAreReportedAsTransientOrPermanentBesideTheResult) {
  const struct {
    std::string member;
    int exit;
    int status;
    const char* reason;
  } cases[] = {
      {market_->catalogue().at(1).name, kExitTransientFailure, 500, "HTTP 500"},
      {market_->catalogue().at(2).name, kExitTransientFailure, 0, "reset"},
      {market_->catalogue().at(3).name, kExitTransientFailure, 200, "before the whole body"},
      {market_->catalogue().at(4).name, kExitPermanentFailure, 200, "binary"},
      {"nobody", kExitPermanentFailure, 404, "HTTP 404"},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.reason);
    const std::string result = MemberResultFile(each.member);
    EXPECT_EQ(Run(ContactUrl(each.member), result), each.exit);
    const std::optional<PageFailure> failure = Companion(result);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->transient, each.exit == kExitTransientFailure);
    EXPECT_EQ(failure->status, each.status);
    EXPECT_NE(failure->reason.find(each.reason), std::string::npos) << failure->reason;
    EXPECT_FALSE(failure->retry_after_seconds);
    EXPECT_FALSE(Read(result).empty()) << "the result is written as ever";
  }
  // Nothing arrived: the result is the one an empty page gives.
  EXPECT_EQ(Read(MemberResultFile(cases[1].member)),
            sample_market::ToGbk(sample_market::JoinFields(std::vector<std::string>(10))));
}

TEST_F(FailureReportTest, APageReadLeavesNoCompanionAndClearsAStaleOne) {
  const sample_market::Member& healthy = market_->catalogue().at(5);
  const std::string result = MemberResultFile(healthy.name);
  std::ofstream(dir_ / FailureFileFor(result)) << "kind=transient\nstatus=503\n";
  EXPECT_EQ(Run(ContactUrl(healthy.name), result), kExitPageRead);
  EXPECT_FALSE(fs::exists(dir_ / FailureFileFor(result)));
  EXPECT_EQ(Read(result), sample_market::ToGbk(sample_market::JoinFields(sample_market::ExpectedContactFields(healthy))));
}

TEST_F(FailureReportTest, TheServersRetryAfterAndStatusReachTheCompanion) {
  const struct {
    const char* reply;
    int exit;
    int status;
    std::optional<long> retry_after;
  } cases[] = {
      {"HTTP/1.1 429 Too Many\r\nRetry-After: 30\r\nContent-Length: 4\r\n\r\nslow", kExitTransientFailure, 429, 30},
      {"HTTP/1.1 503 Busy\r\nRetry-After: Thu, 01 Jan 1970 00:00:00 GMT\r\n\r\nbusy", kExitTransientFailure, 503, 0},
      {"HTTP/1.1 410 Gone\r\nContent-Length: 4\r\n\r\ngone", kExitPermanentFailure, 410, std::nullopt},
      {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", kExitPermanentFailure, 200, std::nullopt},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.reply);
    testing::RawServer server([&each](int fd, const std::atomic<bool>&) { testing::SendText(fd, each.reply); });
    EXPECT_EQ(Run(server.Url("/page.html"), "Temp_r"), each.exit);
    const std::optional<PageFailure> failure = Companion("Temp_r");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->status, each.status);
    EXPECT_EQ(failure->retry_after_seconds, each.retry_after);
  }
}

TEST_F(FailureReportTest, TheCompanionFollowsTheResultNameAndAnUnusedFlagWritesNeither) {
  const std::string refused = "http://127.0.0.1:1/credit/x.html";
  EXPECT_EQ(Run(refused, "Temp_c", kTradeCreditFlag), kExitTransientFailure);
  EXPECT_TRUE(fs::exists(dir_ / "Temp_c.t"));
  EXPECT_TRUE(Companion("Temp_c.t"));
  EXPECT_EQ(Run(refused, "Temp_u", 7), kExitTransientFailure);
  EXPECT_FALSE(fs::exists(dir_ / "Temp_u"));
  EXPECT_FALSE(fs::exists(dir_ / "Temp_u.fail"));
}

TEST_F(FailureReportTest, ACompanionThatCannotBeWrittenHoldsTheResultBack) {
  // quenlo would otherwise find a result without its companion and take the page as read.
  fs::create_directory(dir_ / "Temp_blocked.fail");
  EXPECT_EQ(Run("http://127.0.0.1:1/x.html", "Temp_blocked"), kExitTransientFailure);
  EXPECT_FALSE(fs::exists(dir_ / "Temp_blocked"));
}

}  // namespace
}  // namespace pitrel

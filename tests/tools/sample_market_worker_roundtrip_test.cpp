// The pages against the real worker: pitrel loads each kind of page from a
// running marketplace and must extract exactly what the catalogue says.
// Other suites rely on this agreement when they compute expected rows.
#include "tests/tools/market_client.h"
#include "tools/sample_market/expected_results.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace sample_market {
namespace {

namespace fs = std::filesystem;

class WorkerRoundTripTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MarketplaceOptions options;
    options.faults.hostile_names = true;
    market_ = new SampleMarketplace(options);
    ASSERT_TRUE(market_->Start());
    for (const std::string& line : market_->EnvironmentLines()) {
      std::size_t equals = line.find('=');
      setenv(line.substr(0, equals).c_str(), line.substr(equals + 1).c_str(), 1);
    }
  }
  static void TearDownTestSuite() {
    delete market_;
    market_ = nullptr;
  }

  void SetUp() override {
    directory_ = fs::temp_directory_path() /
                 ("market_roundtrip_" + std::to_string(getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }

  // Runs one worker and returns its result file as UTF-8 ("<none>" if absent).
  std::string RunWorker(const std::string& page, int flag) {
    std::string out = (directory_ / ("Temp_" + std::to_string(++runs_))).string();
    std::string line = page + "‖" + out + "‖" + std::to_string(flag);
    std::string program = QUENLO_BUILD_DIR "/pitrel";
    char* argv[] = {program.data(), line.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return "<no worker>";
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream file(flag == 3 ? out + ".t" : out, std::ios::binary);
    if (!file) return "<none>";
    std::stringstream bytes;
    bytes << file.rdbuf();
    return FromGbk(bytes.str());
  }

  static SampleMarketplace* market_;
  fs::path directory_;
  int runs_ = 0;
};

SampleMarketplace* WorkerRoundTripTest::market_ = nullptr;

// Enough members to meet every page variant at least once.
constexpr int kMembersChecked = 24;

TEST_F(WorkerRoundTripTest, SearchPagesYieldTheCountAndEveryListedName) {
  for (int page : {1, 2}) {
    std::string expected = "45";
    for (const Member* m : ListSearch(market_->catalogue(), "hits45", page).members) expected += "\r\n" + m->name;
    EXPECT_EQ(RunWorker(market_->Url(testing::SearchPath("hits45", page)), 0), expected) << "page " << page;
  }
}

TEST_F(WorkerRoundTripTest, ContactPagesOfBothFormsYieldTheCataloguedFields) {
  bool seen[2] = {false, false};
  for (int number = 1; number <= kMembersChecked; ++number) {
    const Member& m = market_->catalogue().at(number);
    if (m.name.find('/') != std::string::npos || m.name.find(' ') != std::string::npos) continue;
    seen[static_cast<int>(m.contact_form)] = true;
    std::string url = market_->Url("/company/detail/contact/" + m.name + ".html");
    EXPECT_EQ(RunWorker(url, 1), JoinFields(ExpectedContactFields(m))) << "member " << number << " " << m.name;
  }
  EXPECT_TRUE(seen[0] && seen[1]);
}

TEST_F(WorkerRoundTripTest, ProfileAndCreditPagesYieldTheCataloguedFields) {
  for (int number = 1; number <= kMembersChecked; ++number) {
    const Member& m = market_->catalogue().at(number);
    if (m.name.find('/') != std::string::npos || m.name.find(' ') != std::string::npos) continue;
    EXPECT_EQ(RunWorker(m.name, 2), JoinFields(ExpectedProfileFields(m))) << "member " << number;
    EXPECT_EQ(RunWorker(market_->Url("/credit/" + m.name + ".html"), 3), JoinFields(ExpectedCreditFields(m)))
        << "member " << number;
  }
}

}  // namespace
}  // namespace sample_market

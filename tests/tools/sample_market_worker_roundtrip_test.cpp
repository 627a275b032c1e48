// The pages against the real worker: pitrel loads each kind of page from a
// running marketplace and must extract exactly what the catalogue says.
// Other suites rely on this agreement when they compute expected rows.
#include "tests/tools/market_client.h"
#include "tools/sample_market/expected_results.h"
#include "worker/protocol.h"

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

struct Variant {
  int page_kb;          // page padding
  int members_checked;  // enough to meet every page variant at least once
};

void PrintTo(const Variant& variant, std::ostream* out) {
  *out << "pages of " << variant.page_kb << " KB, " << variant.members_checked << " members";
}

class SampleWorkerRoundTripTest : public ::testing::TestWithParam<Variant> {
 protected:
  void SetUp() override {
    MarketplaceOptions options;
    options.faults.hostile_names = true;
    options.page_kb = GetParam().page_kb;
    market_ = std::make_unique<SampleMarketplace>(options);
    ASSERT_TRUE(market_->Start());
    // The worker finds the marketplace through these, as a user's shell would set them.
    for (const std::string& line : market_->EnvironmentLines()) {
      std::size_t equals = line.find('=');
      setenv(line.substr(0, equals).c_str(), line.substr(equals + 1).c_str(), 1);
    }
    directory_ = fs::temp_directory_path() / ("market_roundtrip_" + std::to_string(getpid()));
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }

  // Runs one worker and returns its result file as UTF-8 ("<none>" if absent).
  std::string RunWorker(const std::string& page, int flag) {
    std::string out = (directory_ / pitrel::MemberResultFile(std::to_string(++runs_))).string();
    std::string line = pitrel::WorkerCommandLine(page, out, flag);
    std::string program = QUENLO_BUILD_DIR "/pitrel";
    char* argv[] = {program.data(), line.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return "<no worker>";
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream file(pitrel::ResultFileFor(flag, out), std::ios::binary);
    if (!file) return "<none>";
    std::stringstream bytes;
    bytes << file.rdbuf();
    return FromGbk(bytes.str());
  }

  // Members whose contact URL a worker can request as it stands.
  std::vector<const Member*> Checked() const {
    std::vector<const Member*> members;
    for (int number = 1; number <= GetParam().members_checked; ++number) {
      const Member& m = market_->catalogue().at(number);
      if (m.name.find_first_of("/ ") == std::string::npos) members.push_back(&m);
    }
    return members;
  }

  std::unique_ptr<SampleMarketplace> market_;
  fs::path directory_;
  int runs_ = 0;
};

TEST_P(SampleWorkerRoundTripTest, SearchPagesYieldTheCountAndEveryListedName) {
  for (int page : {1, 2}) {
    std::string expected = "45";
    for (const Member* m : ListSearch(market_->catalogue(), "hits45", page).members) expected += "\r\n" + m->name;
    const std::string url = market_->Url(testing::SearchPath("hits45", page));
    EXPECT_EQ(RunWorker(url, pitrel::kMemberListFlag), expected) << "page " << page;
  }
}

TEST_P(SampleWorkerRoundTripTest, ContactPagesOfBothFormsYieldTheCataloguedFields) {
  bool seen[2] = {false, false};
  for (const Member* m : Checked()) {
    seen[static_cast<int>(m->contact_form)] = true;
    std::string url = market_->Url("/company/detail/contact/" + m->name + ".html");
    EXPECT_EQ(RunWorker(url, pitrel::kContactFlag), JoinFields(ExpectedContactFields(*m)))
        << "member " << m->number;
  }
  EXPECT_TRUE(seen[0] && seen[1]);
}

TEST_P(SampleWorkerRoundTripTest, ProfileAndCreditPagesYieldTheCataloguedFields) {
  for (const Member* m : Checked()) {
    EXPECT_EQ(RunWorker(m->name, pitrel::kProfileFlag), JoinFields(ExpectedProfileFields(*m)))
        << "member " << m->number;
    const std::string credit = market_->Url("/credit/" + m->name + ".html");
    EXPECT_EQ(RunWorker(credit, pitrel::kTradeCreditFlag), JoinFields(ExpectedCreditFields(*m)))
        << "member " << m->number;
  }
}

INSTANTIATE_TEST_SUITE_P(PlainAndPadded, SampleWorkerRoundTripTest,
                         ::testing::Values(Variant{0, 24}, Variant{50, 8}),
                         [](const auto& info) { return info.param.page_kb == 0 ? "Plain" : "Padded"; });

}  // namespace
}  // namespace sample_market

// The real pitrel program against the sample marketplace on 127.0.0.1: every
// condenser, both contact forms and the command-line cases, compared byte for
// byte with what the marketplace's own catalogue says the pages hold.
#include <gtest/gtest.h>
#include <openssl/pem.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/worker/page/local_site.h"
#include "tools/sample_market/expected_results.h"
#include "tools/sample_market/gbk.h"
#include "tools/sample_market/pages.h"
#include "tools/sample_market/search.h"
#include "tools/sample_market/server.h"
#include "worker/protocol.h"
#include "worker_process.h"

namespace {

namespace fs = std::filesystem;
using sample_market::Member;

const std::string kPitrel = pitrel::testing::kPitrelProgram;
const std::string kPeakMemory = std::string(QUENLO_BUILD_DIR) + "/tests/peak-memory";
// A sanitized worker's memory (shadow, red zones, quarantine) says nothing of a real one's.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryMeasurable = false;
#else
constexpr bool kMemoryMeasurable = true;
#endif
// For the lines quenlo would never send; WorkerCommandLine composes the others.
const std::string kBar(pitrel::kCommandSeparator);

// The same marketplace twice, over http and over https.
class PitrelProcessTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (bool tls : {false, true}) {
      sample_market::MarketplaceOptions options;
      options.members = 40;  // enough for every page form; each member costs three workers
      options.tls = tls;
      auto*& market = tls ? secure_ : plain_;
      market = new sample_market::SampleMarketplace(options);
      std::string error;
      ASSERT_TRUE(market->Start(&error)) << error;
    }
  }
  static void TearDownTestSuite() {
    for (auto** market : {&plain_, &secure_}) {
      (*market)->Stop();
      delete *market;
      *market = nullptr;
    }
  }

  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("pitrel_process_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The marketplace this test reads: over http unless the test asks for https.
  const sample_market::SampleMarketplace& market() const { return secure_mode_ ? *secure_ : *plain_; }

  // Starts pitrel in the scratch directory with the marketplace's hosts.
  pid_t Start(const std::vector<std::string>& args, const fs::path& cwd,
              const std::string& program = kPitrel) const {
    return pitrel::testing::StartWorker(program, args, cwd, market().EnvironmentLines());
  }

  static int Wait(pid_t pid) { return pitrel::testing::WaitForWorker(pid); }

  int Run(const std::vector<std::string>& args) const { return Wait(Start(args, dir_)); }
  int RunWith(const std::string& program, const std::string& line) const {
    return Wait(Start({line}, dir_, program));
  }
  int Run(const std::string& line) const { return Run(std::vector<std::string>{line}); }

  // Runs pitrel under peak-memory: its exit status and its peak (resident, KiB).
  std::pair<int, long> RunMeasured(const std::string& line) const {
    if (Wait(Start({"peak", kPitrel, line}, dir_, kPeakMemory)) != 0) return {-1, 0};
    std::pair<int, long> measured{-1, 0};
    std::istringstream(Read("peak")) >> measured.first >> measured.second;
    return measured;
  }

  // Runs one worker per line, a few at a time, like quenlo does.
  void RunAll(const std::vector<std::string>& lines) const {
    constexpr std::size_t kAtOnce = 8;
    for (std::size_t first = 0; first < lines.size(); first += kAtOnce) {
      std::vector<pid_t> running;
      for (std::size_t i = first; i < std::min(lines.size(), first + kAtOnce); ++i)
        running.push_back(Start({lines[i]}, dir_));
      for (pid_t pid : running) ASSERT_EQ(Wait(pid), 0);
    }
  }

  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    EXPECT_TRUE(in) << name << " missing";
    return {std::istreambuf_iterator<char>(in), {}};
  }

  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string ContactUrl(const Member& m) const {
    return market().Url("/company/detail/contact/" + m.name + ".html");
  }
  std::string SearchUrl(const std::string& keyword, int page) const {
    return market().Url("/company/" + keyword + "/" + std::to_string(page) + ".html");
  }
  bool Requested(const std::string& path) const {
    const auto paths = market().RequestedPaths();
    return std::find(paths.begin(), paths.end(), path) != paths.end();
  }
  const sample_market::Catalogue& catalogue() const { return market().catalogue(); }

  // The member-list result a page of this search must give, from the catalogue.
  std::string ExpectedMemberList(const std::string& keyword, int page) const {
    const sample_market::SearchListing listing = sample_market::ListSearch(catalogue(), keyword, page);
    if (listing.members.empty()) return " ";
    std::string out = listing.count_is_number ? std::to_string(listing.hit_count) : "0";
    for (const Member* m : listing.members) out += "\r\n" + m->name;
    return out;
  }

  static sample_market::SampleMarketplace* plain_;
  static sample_market::SampleMarketplace* secure_;
  bool secure_mode_ = false;
  fs::path dir_;
};

sample_market::SampleMarketplace* PitrelProcessTest::plain_ = nullptr;
sample_market::SampleMarketplace* PitrelProcessTest::secure_ = nullptr;

// Every condenser gives the same bytes whether its page came over http or https.
class PitrelOverEitherScheme : public PitrelProcessTest, public ::testing::WithParamInterface<bool> {
 protected:
  PitrelOverEitherScheme() { secure_mode_ = GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(HttpAndHttps, PitrelOverEitherScheme, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Https" : "Http"; });

TEST_P(PitrelOverEitherScheme, SearchPagesGiveTheCountAndTheirMembers) {
  const std::vector<std::pair<std::string, int>> pages = {
      {"hits95", 1}, {"hits95", 2}, {"hits95", 3}, {"hits1", 1}, {"nocount", 1}, {"all", 1}, {"all", 2}};
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < pages.size(); ++i)
    lines.push_back(pitrel::WorkerCommandLine(SearchUrl(pages[i].first, pages[i].second),
                                              "TempPage_" + std::to_string(i),
                                              pitrel::kMemberListFlag));
  RunAll(lines);
  for (std::size_t i = 0; i < pages.size(); ++i) {
    SCOPED_TRACE(pages[i].first + " page " + std::to_string(pages[i].second));
    EXPECT_EQ(Read("TempPage_" + std::to_string(i)),
              sample_market::ToGbk(ExpectedMemberList(pages[i].first, pages[i].second)));
  }
  EXPECT_EQ(Read("TempPage_1").substr(0, 4), "95\r\n");
}

TEST_F(PitrelProcessTest, EmptySearchPageAndMissingFlagWriteOneSpace) {
  // No third field: the member-list condenser, and a page without companies.
  EXPECT_EQ(Run(SearchUrl("hits0", 1) + kBar + "TempPage_0"), 0);
  EXPECT_EQ(Read("TempPage_0"), " ");
  EXPECT_EQ(Files(), std::vector<std::string>{"TempPage_0"});
}

TEST_P(PitrelOverEitherScheme, ContactPagesOfEveryMemberInBothForms) {
  std::vector<std::string> lines;
  int ownPages = 0, memberSites = 0;
  for (const Member& m : catalogue().members()) {
    lines.push_back(pitrel::WorkerCommandLine(ContactUrl(m), pitrel::MemberResultFile(m.name),
                                              pitrel::kContactFlag));
    (m.contact_form == sample_market::ContactForm::kMarketplacePage ? ownPages : memberSites)++;
  }
  ASSERT_GT(ownPages, 0);
  ASSERT_GT(memberSites, 0);
  RunAll(lines);
  for (const Member& m : catalogue().members()) {
    SCOPED_TRACE(m.name);
    EXPECT_EQ(sample_market::FromGbk(Read(pitrel::MemberResultFile(m.name))),
              sample_market::JoinFields(sample_market::ExpectedContactFields(m)));
    EXPECT_EQ(Read(pitrel::MemberResultFile(m.name)),
              sample_market::ToGbk(sample_market::JoinFields(sample_market::ExpectedContactFields(m))));
  }
  EXPECT_EQ(Files().size(), catalogue().members().size());
}

// A saved page is read by pitrel itself, alone in its folder: no second
// program is needed for file addresses (nor for https).
TEST_F(PitrelProcessTest, FileAddressesAreReadByPitrelAloneAndGiveTheSameResult) {
  const Member* own = nullptr;
  for (const Member& m : catalogue().members())
    if (m.contact_form == sample_market::ContactForm::kMarketplacePage) own = &m;
  ASSERT_NE(own, nullptr);
  sample_market::PageSettings settings;
  settings.main_host = market().host();
  const fs::path page = dir_ / "saved contact.html";
  std::ofstream(page, std::ios::binary) << sample_market::ToGbk(sample_market::ContactPage(*own, settings));
  const std::string url = "file://" + page.string();

  const fs::path alone = dir_ / "alone";
  fs::create_directories(alone);
  fs::copy_file(kPitrel, alone / "pitrel");
  ASSERT_EQ(RunWith((alone / "pitrel").string(),
                    pitrel::WorkerCommandLine(url, "Temp_alone", pitrel::kContactFlag)),
            pitrel::kExitPageRead);
  EXPECT_EQ(Read("Temp_alone"),
            sample_market::ToGbk(sample_market::JoinFields(sample_market::ExpectedContactFields(*own))));
  EXPECT_EQ(RunWith(kPitrel, pitrel::WorkerCommandLine(url + ".missing", "Temp_missing", pitrel::kContactFlag)),
            pitrel::kExitPermanentFailure);
}

// A page that would take a worker minutes (thousands of attributes on one
// tag make the parse quadratic; this many still fit the parse budget) or a
// "file" that never ends (a pipe): the worker ends at its time limit,
// without a result.
TEST_F(PitrelProcessTest, AWorkerEndsAtItsTimeLimit) {
  const fs::path slow = dir_ / "attributes.html";
  {
    std::ofstream out(slow, std::ios::binary);
    out << "<html><body><div";
    for (int i = 0; i < 100000; ++i) out << " a" << i << "=x";
    out << ">x</div></body></html>";
  }
  const fs::path pipe = dir_ / "pipe.html";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  ::setenv("PITREL_TIME_LIMIT", "2", 1);
  for (const fs::path& page : {slow, pipe}) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t worker = Start(
        {pitrel::WorkerCommandLine("file://" + page.string(), "Temp_limited", pitrel::kContactFlag)},
        dir_);
    int status = 0;
    ::waitpid(worker, &status, 0);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(6)) << page;
    EXPECT_TRUE(WIFSIGNALED(status)) << page;
    EXPECT_FALSE(fs::exists(dir_ / "Temp_limited")) << page;
  }
  ::unsetenv("PITREL_TIME_LIMIT");
}

// page with unit inserted at `at` as often as fits in the 8 MB a fetch takes.
std::string FilledToTheFetchCap(std::string page, std::size_t at, std::string_view unit) {
  std::string filler;
  while (page.size() + filler.size() + unit.size() <= (8u << 20)) filler += unit;
  return page.insert(at, filler);
}

void ServeAsGbk(pitrel::testing::LocalSite& site, const std::string& path,
                const std::string& page) {
  site.server().Get(path, [gbk = sample_market::ToGbk(page)](const httplib::Request&,
                                                             httplib::Response& response) {
    response.set_content(gbk, "text/html; charset=gbk");
  });
}

// An 8 MB page of "<b>z</b>" cost a worker 422 MB: at the worker limit of
// 50, 21 GB. The page's parse is bounded now, so a worker stays in the tens
// of megabytes whatever a page of the most a fetch takes holds, well below
// its address-space limit (76 MiB; 50 of them stay under 4 GB), and a large
// but ordinary page is still read whole.
TEST_F(PitrelProcessTest, AnEightMegabytePageCostsAWorkerTensOfMegabytes) {
  constexpr long kPeakBoundKb = 48 << 10;
  const Member& own = catalogue().at(1);
  ASSERT_EQ(own.contact_form, sample_market::ContactForm::kMarketplacePage);
  sample_market::PageSettings settings;
  settings.main_host = market().host();
  const std::string contact = sample_market::ContactPage(own, settings);
  pitrel::testing::LocalSite site;
  ServeAsGbk(site, "/bold.html", FilledToTheFetchCap({}, 0, "<b>z</b>"));
  ServeAsGbk(site, "/contact-then-bold.html",
             FilledToTheFetchCap(contact, contact.find("</body>"), "<b>z</b>"));
  ServeAsGbk(site, "/text-then-contact.html",
             FilledToTheFetchCap(contact, contact.find("<body>") + 6, "z "));
  site.Start();

  const std::string nothing = sample_market::JoinFields(std::vector<std::string>(10));
  const std::string card = sample_market::JoinFields(sample_market::ExpectedContactFields(own));
  for (const auto& [path, flag, expected] :
       {std::tuple{"/bold.html", pitrel::kContactFlag, nothing},
        {"/bold.html", pitrel::kMemberListFlag, std::string(" ")},
        {"/contact-then-bold.html", pitrel::kContactFlag, card},
        {"/text-then-contact.html", pitrel::kContactFlag, card}}) {
    SCOPED_TRACE(std::string(path) + " flag " + std::to_string(flag));
    const auto [status, peakKb] =
        RunMeasured(pitrel::WorkerCommandLine(site.Url(path), "Temp_big", flag));
    ASSERT_EQ(status, 0);
    EXPECT_EQ(sample_market::FromGbk(Read("Temp_big")), expected);
    if (kMemoryMeasurable) {
      EXPECT_LT(peakKb, kPeakBoundKb);
    }
    std::printf("peak of pitrel on %s, flag %d: %.1f MB\n", path, flag, peakKb / 1024.0);
  }
}

TEST_P(PitrelOverEitherScheme, ProfilesOfEveryMemberFromTheMemberName) {
  std::vector<std::string> lines;
  for (const Member& m : catalogue().members())
    lines.push_back(
        pitrel::WorkerCommandLine(m.name, pitrel::MemberResultFile(m.name), pitrel::kProfileFlag));
  RunAll(lines);
  int directoryEntries = 0;
  for (const Member& m : catalogue().members()) {
    SCOPED_TRACE(m.name);
    EXPECT_TRUE(Requested("/company/detail/intro/" + m.name + ".html"));
    directoryEntries += m.profile_form == sample_market::ProfileForm::kDirectoryEntry;
    EXPECT_EQ(Read(pitrel::MemberResultFile(m.name)),
              sample_market::ToGbk(sample_market::JoinFields(sample_market::ExpectedProfileFields(m))));
  }
  EXPECT_GT(directoryEntries, 0);
}

TEST_P(PitrelOverEitherScheme, TradeCreditGoesToTheNameWithDotT) {
  std::vector<std::string> lines;
  for (const Member& m : catalogue().members())
    lines.push_back(pitrel::WorkerCommandLine(market().Url("/credit/" + m.name + ".html"), m.name,
                                              pitrel::kTradeCreditFlag));
  RunAll(lines);
  for (const Member& m : catalogue().members()) {
    SCOPED_TRACE(m.name);
    EXPECT_FALSE(fs::exists(dir_ / m.name));
    EXPECT_EQ(Read(pitrel::ResultFileFor(pitrel::kTradeCreditFlag, m.name)),
              sample_market::ToGbk(sample_market::JoinFields(sample_market::ExpectedCreditFields(m))));
  }
  // A page without a credit block: one space.
  const Member& first = catalogue().at(1);
  EXPECT_EQ(Run(pitrel::WorkerCommandLine(ContactUrl(first), "nocredit", pitrel::kTradeCreditFlag)),
            0);
  EXPECT_EQ(Read(pitrel::ResultFileFor(pitrel::kTradeCreditFlag, "nocredit")), " ");
}

TEST_F(PitrelProcessTest, BadCommandLinesLoadAndWriteNothing) {
  const std::string url = ContactUrl(catalogue().at(2));
  const std::size_t requestsBefore = market().RequestedPaths().size();
  for (const std::string& line : {url + " out 1", kBar + "out" + kBar + "1",
                                  url + kBar + kBar + "1", std::string(" ") + kBar + " "}) {
    SCOPED_TRACE(line);
    EXPECT_EQ(Run(line), 2);
  }
  EXPECT_EQ(market().RequestedPaths().size(), requestsBefore);
  EXPECT_TRUE(Files().empty());
}

TEST_F(PitrelProcessTest, FlagsOutOfRangeLoadThePageAndWriteNothing) {
  for (const Member* m : {&catalogue().at(4), &catalogue().at(5)}) {
    const std::string path = "/company/detail/contact/" + m->name + ".html";
    const int flag = m->number == 4 ? 7 : -1;
    EXPECT_EQ(Run(pitrel::WorkerCommandLine(market().Url(path), "out", flag)), 0);
    EXPECT_TRUE(Requested(path)) << flag;
  }
  EXPECT_TRUE(Files().empty());
}

TEST_F(PitrelProcessTest, StaleResultAndTemporaryFileAreReplaced) {
  std::ofstream(dir_ / "out", std::ios::binary) << std::string(5000, 'x');
  std::ofstream(dir_ / pitrel::TemporaryResultFile("out"), std::ios::binary) << "leftover";
  EXPECT_EQ(Run(pitrel::WorkerCommandLine(SearchUrl("hits1", 1), "out", pitrel::kMemberListFlag)), 0);
  EXPECT_EQ(Read("out"), sample_market::ToGbk(ExpectedMemberList("hits1", 1)));
  EXPECT_EQ(Files(), std::vector<std::string>{"out"});
}

TEST_F(PitrelProcessTest, ABlockedNameWritesNoOtherName) {
  const Member& m = catalogue().at(1);
  fs::create_directory(dir_ / "Temp_out");
  EXPECT_EQ(Run(pitrel::WorkerCommandLine(ContactUrl(m), "Temp_out", pitrel::kContactFlag)), 0);
  EXPECT_EQ(Files(), (std::vector<std::string>{"Temp_out"}));
}

TEST_F(PitrelProcessTest, ALineTheShellSplitReadsAsOneLine) {
  // "Temp_a b" holds a space: the shell hands pitrel two arguments.
  EXPECT_EQ(Run(std::vector<std::string>{SearchUrl("hits1", 1) + kBar + "Temp_a", "b" + kBar + "0"}),
            0);
  EXPECT_EQ(Read("Temp_a b"), sample_market::ToGbk(ExpectedMemberList("hits1", 1)));
}

TEST_F(PitrelProcessTest, APageThatNeverArrivesStillGivesAResultAndSaysWhy) {
  // Nothing listens on port 1: the contact condenser runs on an empty page.
  EXPECT_EQ(Run(pitrel::WorkerCommandLine("http://127.0.0.1:1/company/detail/contact/x.html", "out",
                                          pitrel::kContactFlag)),
            pitrel::kExitTransientFailure);
  const std::vector<std::string> tenEmptyFields(10);
  EXPECT_EQ(Read("out"), sample_market::ToGbk(sample_market::JoinFields(tenEmptyFields)));
  const auto failure = pitrel::ParsePageFailure(Read("out.fail"));
  ASSERT_TRUE(failure);
  EXPECT_TRUE(failure->transient);
  EXPECT_EQ(failure->status, 0);
  EXPECT_NE(failure->reason.find("refused"), std::string::npos) << failure->reason;
  EXPECT_EQ(Files(), (std::vector<std::string>{"out", "out.fail"}));
}

TEST_F(PitrelProcessTest, RelativeResultNameLandsInTheWorkingDirectory) {
  fs::create_directory(dir_ / "sub");
  EXPECT_EQ(Run(pitrel::WorkerCommandLine(SearchUrl("hits1", 1), "sub/../sub/r",
                                          pitrel::kMemberListFlag)),
            0);
  EXPECT_TRUE(fs::exists(dir_ / "sub" / "r"));
}

// A page whose certificate fails is not read: its result is the one an
// empty page gives, and the companion says why.
TEST_F(PitrelProcessTest, AnHttpsPageWhoseCertificateFailsIsNotRead) {
  const std::pair<std::string, std::string> cases[] = {{"wrong-host", "IP address mismatch"},
                                                       {"expired", "certificate has expired"},
                                                       {"stranger", "unable to get local issuer certificate"}};
  for (const auto& [certificate, reason] : cases) {
    SCOPED_TRACE(certificate);
    sample_market::MarketplaceOptions options;
    options.members = 2;
    options.tls = true;
    options.certificate_file = options.kTestTlsDirectory + "/" + certificate + ".pem";
    options.key_file = options.kTestTlsDirectory + "/" + certificate + ".key";
    sample_market::SampleMarketplace site(options);
    ASSERT_TRUE(site.Start());
    const std::string url = site.Url("/company/detail/contact/" + site.catalogue().at(1).name + ".html");
    EXPECT_EQ(Wait(pitrel::testing::StartWorker(kPitrel, {pitrel::WorkerCommandLine(url, "Temp_bad", pitrel::kContactFlag)},
                                                dir_, site.EnvironmentLines())),
              pitrel::kExitPermanentFailure);
    EXPECT_EQ(Read("Temp_bad"), sample_market::ToGbk(sample_market::JoinFields(std::vector<std::string>(10))));
    const auto failure = pitrel::ParsePageFailure(Read("Temp_bad.fail"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->reason, "certificate verify failed: " + reason);
    EXPECT_TRUE(site.RequestedPaths().empty()) << "no request left the worker";
  }
}

// The test CA is never in the system's store: without SSL_CERT_FILE the
// marketplace is not trusted, and a hashed directory named by SSL_CERT_DIR
// is searched for the issuer when the handshake needs it.
TEST_F(PitrelProcessTest, IssuersComeFromTheSystemStoreOrTheHashedDirectoryNamed) {
  secure_mode_ = true;
  const Member& member = catalogue().at(1);
  std::vector<std::string> environment = market().EnvironmentLines();
  std::erase_if(environment, [](const std::string& line) { return line.starts_with("SSL_CERT_FILE="); });
  const auto run = [&](const std::string& result) {
    return Wait(pitrel::testing::StartWorker(
        kPitrel, {pitrel::WorkerCommandLine(ContactUrl(member), result, pitrel::kContactFlag)}, dir_, environment));
  };
  EXPECT_EQ(run("Temp_system"), pitrel::kExitPermanentFailure);
  EXPECT_EQ(pitrel::ParsePageFailure(Read("Temp_system.fail"))->reason,
            "certificate verify failed: unable to get local issuer certificate");

  const fs::path certificates = dir_ / "certificates";
  fs::create_directories(certificates);
  std::FILE* file = std::fopen(market().options().trusted_ca_file.c_str(), "r");
  ASSERT_NE(file, nullptr);
  X509* ca = PEM_read_X509(file, nullptr, nullptr, nullptr);
  std::fclose(file);
  ASSERT_NE(ca, nullptr);
  char hashed[16];
  std::snprintf(hashed, sizeof hashed, "%08lx.0", X509_subject_name_hash(ca));
  X509_free(ca);
  fs::copy_file(market().options().trusted_ca_file, certificates / hashed);
  environment.push_back("SSL_CERT_DIR=" + certificates.string());
  EXPECT_EQ(run("Temp_directory"), pitrel::kExitPageRead);
  EXPECT_EQ(Read("Temp_directory"),
            sample_market::ToGbk(sample_market::JoinFields(sample_market::ExpectedContactFields(member))));
}

}  // namespace

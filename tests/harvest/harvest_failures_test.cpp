// Harvests on a bad network, end to end: the sample marketplace with its
// faults, real pitrel processes, a real record base. Pages that fail for a
// passing reason are tried again, the others are reported, pacing and
// Retry-After are seen at the server, and a stop leaves no worker behind.
#include "harvest/contact_harvest.h"
#include "harvest/harvest_cli.h"
#include "harvest/harvest_log.h"
#include "harvest/member_harvest.h"
#include "harvest/process_launcher.h"
#include "harvest/profile_harvest.h"
#include "harvest_world.h"
#include "tools/sample_market/expected_results.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <csignal>

namespace quenlo {
namespace {

using sample_market::MarketplaceOptions;
using std::chrono::milliseconds;
using testing::HarvestWorld;

MarketplaceOptions Faults(int members, const char* faults, int retryAfterSeconds = -1) {
  MarketplaceOptions options = testing::MarketWithFaults(members, faults);
  options.retry_after_s = retryAfterSeconds;
  return options;
}

// The tests need not wait a second a try.
struct QuickRetries : testing::Harvesting {
  explicit QuickRetries(int limit = 15) : Harvesting(limit) {
    hooks.retry.firstBackoff = milliseconds(200);
  }
};

std::string MemberName(const HarvestWorld& world, int number) {
  return world.market.catalogue().at(number).name;
}

// The requests for paths that begin with prefix, in arrival order.
std::vector<sample_market::SampleMarketplace::Arrival> ArrivalsOf(const HarvestWorld& world,
                                                                  const std::string& prefix) {
  std::vector<sample_market::SampleMarketplace::Arrival> arrivals;
  for (const auto& arrival : world.market.Arrivals())
    if (arrival.path.rfind(prefix, 0) == 0) arrivals.push_back(arrival);
  return arrivals;
}

int RequestsFor(const HarvestWorld& world, const std::string& path) {
  const auto paths = world.market.RequestedPaths();
  return int(std::count(paths.begin(), paths.end(), path));
}

std::string ContactPath(const std::string& member) {
  return "/company/detail/contact/" + member + ".html";
}

TEST(HarvestRetryTest, PassingFaultsOnSearchContactAndProfilePagesAreRetriedAndEverythingIsStored) {
  HarvestWorld world(
      Faults(60, "500x1@search:#2,resetx1@contact:#3,truncatex2@contact:#5,500x1@intro:%4"));
  QuickRetries run;
  const MemberHarvestOutcome members = HarvestMemberNames("hits60", "", run.hooks);
  EXPECT_EQ(members.pages, 2);
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "AName").size(), 60);
  EXPECT_EQ(members.tally.retriedPages, 1);
  EXPECT_TRUE(members.tally.Complete());

  const ContactHarvestOutcome contacts = HarvestContacts(run.hooks);
  EXPECT_EQ(contacts.filled, 60);
  EXPECT_TRUE(LoadContactWorkList().isEmpty());
  EXPECT_EQ(contacts.tally.read, 60);
  EXPECT_EQ(contacts.tally.retriedPages, 2);
  EXPECT_EQ(contacts.tally.retries, 3);
  EXPECT_TRUE(contacts.tally.Complete());
  EXPECT_EQ(RequestsFor(world, ContactPath(MemberName(world, 5))), 3);

  // Every fourth member's profile fails once: full profiles and directory
  // entries alike are stored as if nothing had happened.
  const ProfileHarvestOutcome profiles = HarvestProfiles(run.hooks);
  EXPECT_EQ(profiles.tally.retriedPages, 15);
  EXPECT_TRUE(profiles.tally.Complete());
  const auto intros = HarvestWorld::ByMember(kProfileTable, "Intro");
  int fullProfilesRetried = 0;
  for (int k = 4; k <= 60; k += 4) {
    const sample_market::Member& member = world.market.catalogue().at(k);
    const bool full = member.profile_form == sample_market::ProfileForm::kFullProfile;
    fullProfilesRetried += full;
    const std::string expected = full ? sample_market::ExpectedProfileFields(member).at(17) : "";
    EXPECT_EQ(intros.value(QString::fromStdString(member.name)), QString::fromStdString(expected))
        << member.name;
  }
  EXPECT_GT(fullProfilesRetried, 5);
  EXPECT_TRUE(world.WorkFiles().isEmpty()) << world.WorkFiles().join(" ").toStdString();
}

TEST(HarvestRetryTest, RetryAfterIsHonouredAndAPageAskedToWaitTooLongFailsAtOnce) {
  HarvestWorld world(Faults(10, "429x1@contact:#2", 2));
  QuickRetries run;
  HarvestMemberNames("hits10", "", run.hooks);
  const ContactHarvestOutcome contacts = HarvestContacts(run.hooks);
  EXPECT_TRUE(contacts.tally.Complete());
  EXPECT_TRUE(LoadContactWorkList().isEmpty());
  const auto asked = ArrivalsOf(world, ContactPath(MemberName(world, 2)));
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_GE(asked[1].at - asked[0].at, milliseconds(2000));  // no earlier than the server asked
}

TEST(HarvestRetryTest, APageAskedToWaitBeyondTheCapFailsWithoutAnotherTry) {
  HarvestWorld world(Faults(4, "503@contact:#3", 3600));
  QuickRetries run;
  HarvestMemberNames("hits4", "", run.hooks);
  QElapsedTimer clock;
  clock.start();
  const ContactHarvestOutcome contacts = HarvestContacts(run.hooks);
  EXPECT_LT(clock.elapsed(), 5000);
  ASSERT_EQ(contacts.tally.failed.size(), 1u);
  EXPECT_EQ(FailureText(contacts.tally.failed[0]),
            "HTTP 503, the server asked to wait 3600 s, more than 300 s");
  EXPECT_EQ(RequestsFor(world, ContactPath(MemberName(world, 3))), 1);
}

TEST(HarvestFailureReportTest, APermanentFaultIsReportedWithItsPageAndTheCommandLineFails) {
  HarvestWorld world(Faults(20, "404@contact:#5"));
  QuickRetries run;
  HarvestMemberNames("hits20", "", run.hooks);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunHarvestCommand({"contacts"}), 1);
  const std::string out = ::testing::internal::GetCapturedStdout();
  const std::string err = ::testing::internal::GetCapturedStderr();
  const QString fifth = QString::fromStdString(MemberName(world, 5));
  EXPECT_EQ(out, "已下载会员地址数：20 (19 with contact details, 1 failed)\n");
  EXPECT_NE(err.find("pages: 19 read, 0 retried, 1 failed for good"), std::string::npos) << err;
  EXPECT_NE(err.find("member " + fifth.toStdString() + ": HTTP 404, permanent"), std::string::npos)
      << err;
  EXPECT_EQ(LoadContactWorkList(), QStringList({fifth}));  // left for the next run

  QFile log(QDir(world.data.Directory()).filePath(kHarvestLogName));
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  const QString logged = QString::fromUtf8(log.readAll());
  EXPECT_TRUE(logged.contains("contacts: 19 read, 0 retried, 1 failed for good"))
      << logged.toStdString();
  EXPECT_TRUE(logged.contains("member " + fifth + ": HTTP 404, permanent <http://"));
}

// The new user's trial: a search page that always fails no longer leaves a
// count that reads as complete and a success status.
TEST(HarvestFailureReportTest, ASearchPageThatNeverArrivesMakesTheMemberCountSaySoAndFail) {
  HarvestWorld world(Faults(200, "500@search:#2"));
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunHarvestCommand({"members", "abc", "--retries", "1"}), 1);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "已下载会员数：160 (5 pages, 1 failed)\n");
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("search page 2: HTTP 500, still failing after 2 tries"), std::string::npos)
      << err;
  EXPECT_EQ(world.SearchRequests(), 6);
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "AName").size(), 160);
}

TEST(HarvestPacingTest, PacingHoldsTheIntervalBetweenPageStartsAtTheServer) {
  HarvestWorld world(Faults(8, ""));
  QuickRetries run;
  HarvestMemberNames("hits8", "", run.hooks);
  run.hooks.delay = milliseconds(300);
  HarvestContacts(run.hooks);
  EXPECT_TRUE(LoadContactWorkList().isEmpty());
  const auto starts = ArrivalsOf(world, "/company/detail/contact/");
  ASSERT_EQ(starts.size(), 8u);
  std::chrono::steady_clock::duration sum{};
  for (size_t i = 1; i < starts.size(); ++i) {
    const auto gap = starts[i].at - starts[i - 1].at;
    // 150 ms at the least (half the delay), less what a worker's start may vary.
    EXPECT_GE(gap, milliseconds(100)) << i;
    sum += gap;
  }
  EXPECT_GE(sum / 7, milliseconds(200));  // about the delay on average
}

// No delay set: pages start as slots free up, until the host answers 429;
// from then on its page starts are a second apart (jitter fixed at half).
TEST(HarvestPacingTest, A429SlowsTheHostDownForThePagesAfterIt) {
  MarketplaceOptions options = Faults(8, "429x1@contact:#2");
  options.latency_ms = 300;  // pages still to start once the 429 is known
  HarvestWorld world(options);
  QuickRetries run(2);
  HarvestMemberNames("hits8", "", run.hooks);
  run.hooks.jitter = [] { return 0.0; };
  const ContactHarvestOutcome contacts = HarvestContacts(run.hooks);
  EXPECT_TRUE(contacts.tally.Complete());
  const auto starts = ArrivalsOf(world, "/company/detail/contact/");
  ASSERT_EQ(starts.size(), 9u);
  // The retry comes after the 429 was known; so do the starts after it.
  const auto retried = ArrivalsOf(world, ContactPath(MemberName(world, 2))).at(1).at;
  int after = 0;
  for (size_t i = 1; i < starts.size(); ++i) {
    if (starts[i - 1].at < retried) continue;
    ++after;
    EXPECT_GE(starts[i].at - starts[i - 1].at, milliseconds(450)) << i;
  }
  EXPECT_GE(after, 3);
}

bool ProcessGone(qint64 pid) { return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

TEST(HarvestStopTest, AStopWhilePagesHangLeavesNoWorkerWithinASecond) {
  MarketplaceOptions options = Faults(30, "hang@contact:*");
  HarvestWorld world(options);
  QuickRetries run(10);
  HarvestMemberNames("hits30", "", run.hooks);
  QList<qint64> workers;
  QElapsedTimer sinceStart;
  QElapsedTimer sinceStop;
  sinceStart.start();
  run.hooks.stopRequested = [&] {
    if (sinceStop.isValid()) return true;
    if (sinceStart.elapsed() < 700) return false;  // every page on its way by then, and hanging
    workers = run.launcher.RunningProcessIds();
    sinceStop.start();
    return true;
  };
  EXPECT_EQ(HarvestContacts(run.hooks).end, HarvestEnd::Stopped);
  ASSERT_EQ(workers.size(), 10);
  for (qint64 pid : workers) EXPECT_TRUE(ProcessGone(pid)) << pid;
  EXPECT_LT(sinceStop.elapsed(), 1000);
  EXPECT_EQ(run.launcher.Running(), 0);
  EXPECT_TRUE(world.WorkFiles().isEmpty()) << world.WorkFiles().join(" ").toStdString();
  EXPECT_EQ(LoadContactWorkList().size(), 30);
}

}  // namespace
}  // namespace quenlo

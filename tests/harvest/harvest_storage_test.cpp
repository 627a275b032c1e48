// What a harvest leaves in the record base when things go wrong around it:
// no repeat is ever inserted, not even by a harvest killed midway; a hostile
// search page cannot grow the base without bound; a full work folder or a
// full base folder ends the harvest with status 1 before more is fetched.
// The killed and the full-disk runs are the real quenlo program; a full disk
// is a small tmpfs mounted in a mount namespace of the run's own.
#include "harvest/contact_harvest.h"
#include "harvest/harvest_cli.h"
#include "harvest/member_harvest.h"
#include "harvest/process_launcher.h"
#include "harvest_world.h"
#include "store/harvest_settings.h"
#include "store/settings.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QThread>

namespace quenlo {
namespace {

using sample_market::MarketplaceOptions;
using testing::Harvesting;
using testing::HarvestWorld;

QString QuenloPath() { return QStringLiteral(QUENLO_BUILD_DIR "/quenlo"); }

MarketplaceOptions Market(int members, const char* faults = "", int latencyMs = 0) {
  MarketplaceOptions options = testing::MarketWithFaults(members, faults);
  options.latency_ms = latencyMs;
  options.slow_ms = 1500;
  return options;
}

// Rows of a table whose name another row has too.
int Repeats(const QString& table) {
  const QStringList names = HarvestWorld::Column(table, "AName");
  return int(names.size() - QSet<QString>(names.begin(), names.end()).size());
}

TEST(NoRepeatTest, ANameAlreadyStoredIsNeverInsertedAgainNotEvenForAMoment) {
  HarvestWorld world(Market(30));
  Harvesting run(5);
  HarvestMemberNames("hits30", "", run.hooks);
  const QStringList ids = HarvestWorld::Column(kContactTable, "ID");
  int pagesChecked = 0;
  run.hooks.showStatus = [&](const QString&) {  // after every page stored
    ++pagesChecked;
    EXPECT_EQ(Repeats(kContactTable), 0);
    EXPECT_EQ(Repeats(kProfileTable), 0);
  };
  const MemberHarvestOutcome outcome = HarvestMemberNames("hits95", "", run.hooks);
  EXPECT_EQ(pagesChecked, 3);
  EXPECT_EQ(outcome.namesStored, 95);  // the count keeps counting every name listed
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "ID"), ids);  // the oldest rows, as ever
}

TEST(NoRepeatTest, AMemberHarvestKilledMidwayLeavesNoRepeatBehind) {
  HarvestWorld world(Market(30, "slow@search:%2"));
  Harvesting run;
  HarvestMemberNames("hits30", "", run.hooks);
  DbReleaseSharedConnection();
  QProcess quenlo;
  quenlo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  quenlo.setStandardOutputFile(QProcess::nullDevice());
  quenlo.start(QuenloPath(), {"members", "hits400", "--threads", "1"});
  ASSERT_TRUE(quenlo.waitForStarted());
  // Page 3 is asked for once page 2 is stored, with page 1 before it.
  QElapsedTimer clock;
  clock.start();
  while (world.SearchRequests() < 3 && clock.elapsed() < 20000) QThread::msleep(20);
  ASSERT_EQ(world.SearchRequests(), 3);
  quenlo.kill();
  ASSERT_TRUE(quenlo.waitForFinished());
  EXPECT_EQ(Repeats(kContactTable), 0);
  EXPECT_EQ(Repeats(kProfileTable), 0);
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "AName").size(), 30);
}

TEST(HostileSearchTest, AHugeHitCountAndAFiveThousandNamePageAreBounded) {
  HarvestWorld world(Market(300, "flood@search:#1"));
  Harvesting run(5);
  run.hooks.searchPageCap = 5;
  const MemberHarvestOutcome outcome = HarvestMemberNames("hits2147483647", "", run.hooks);
  EXPECT_EQ(outcome.pages, 5);
  EXPECT_EQ(world.SearchRequests(), 5);
  EXPECT_EQ(outcome.pagesCut, 1);
  // Page 1 listed the catalogue over and over: its first 100 names were kept;
  // pages 2 to 5 hold members 41 to 200.
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "AName").size(), 200);
  EXPECT_EQ(
      world.messenger.messages,
      QStringList(
          {"搜索结果称有 2147483647 条，共 53687092 页；只下载前 5 页（设置 Max_Search_Pages）。",
           "有 1 页列出的会员名多于 100 个，每页只保存了前 100 个。"}));
}

TEST(HostileSearchTest, TheCommandLineTakesItsPageCapFromTheSettings) {
  HarvestWorld world(Market(40));
  ASSERT_TRUE(SaveSettingValue(kSettingsApplication, kSettingsSection, kSearchPageCapKey, "3"));
  EXPECT_EQ(RunHarvestCommand({"members", "hits2147483647"}), 0);
  EXPECT_EQ(world.SearchRequests(), 3);
  ASSERT_TRUE(SaveSettingValue(kSettingsApplication, kSettingsSection, kSearchPageCapKey, ""));
}

// Runs the quenlo command line with a small tmpfs mounted on `folder`, which
// `fill` fills up a moment after the harvest starts. Skipped where no user
// and mount namespace can be made.
class FullDiskTest : public ::testing::Test {
 protected:
  struct Outcome {
    int status = -1;
    QString errors;
  };

  Outcome RunFilling(const QString& folder, const QString& prepare, const QStringList& args) {
    const QString script = QStringLiteral(
                               "mount -t tmpfs -o size=1m tmpfs \"$FOLDER\" || exit 99\n%1\n"
                               "( sleep 1.5; cat /dev/zero > \"$FOLDER/filler\" ) 2>/dev/null &\n"
                               "\"$QUENLO\" \"$@\"\n")
                               .arg(prepare);
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("FOLDER", folder);
    environment.insert("QUENLO", QuenloPath());
    run.setProcessEnvironment(environment);
    run.setStandardOutputFile(QProcess::nullDevice());
    run.start("unshare",
              QStringList{"--user", "--map-root-user", "--mount", "sh", "-c", script, "sh"} + args);
    if (!run.waitForFinished(120000)) return {};
    return {run.exitCode(), QString::fromLocal8Bit(run.readAllStandardError())};
  }
};

TEST_F(FullDiskTest, AFullWorkFolderEndsTheHarvestWithStatusOneBeforeMoreIsFetched) {
  HarvestWorld world(Market(60, "", 200));
  Harvesting run;
  HarvestMemberNames("hits60", "", run.hooks);
  const QString work = world.work.filePath("tmpfs");
  ASSERT_TRUE(QDir().mkpath(work));
  qputenv("QUENLO_WORK_DIR", work.toUtf8());
  const Outcome outcome = RunFilling(work, {}, {"contacts", "--threads", "2"});
  qunsetenv("QUENLO_WORK_DIR");
  if (outcome.status == 99)
    GTEST_SKIP() << "no mount namespace here: " << outcome.errors.toStdString();
  EXPECT_EQ(outcome.status, 1) << outcome.errors.toStdString();
  EXPECT_TRUE(outcome.errors.contains("takes no more result files"))
      << outcome.errors.toStdString();
  const int fetched = int(world.market.RequestedPaths().size()) - world.SearchRequests();
  EXPECT_LT(fetched, 40);  // not one request a page after the folder was full
  const int left = int(LoadContactWorkList().size());
  EXPECT_GT(left, 20);
  EXPECT_LT(left, 60);
}

TEST_F(FullDiskTest, AFullBaseFolderEndsTheHarvestWithStatusOneBeforeMoreIsFetched) {
  HarvestWorld world(Market(60, "", 200));
  Harvesting run;
  HarvestMemberNames("hits60", "", run.hooks);
  DbReleaseSharedConnection();  // the whole base in DATA.mdb, to be copied
  const QString base = world.work.filePath("base");
  const QString kept = world.work.filePath("kept");
  ASSERT_TRUE(QDir().mkpath(base) && QDir().mkpath(kept));
  qputenv("QUENLO_DATA_DIR", base.toUtf8());
  const Outcome outcome = RunFilling(
      base,
      QStringLiteral("cp '%1' \"$FOLDER/\" || exit 98\ntrap 'cp \"$FOLDER\"/DATA.mdb* \"%2\"' EXIT")
          .arg(world.data.File(), kept),
      {"contacts", "--threads", "2"});
  testing::PointDataDirectoryAt(world.data.Directory());
  if (outcome.status == 99)
    GTEST_SKIP() << "no mount namespace here: " << outcome.errors.toStdString();
  EXPECT_EQ(outcome.status, 1) << outcome.errors.toStdString();
  EXPECT_TRUE(outcome.errors.contains("could not be stored in the record base"))
      << outcome.errors.toStdString();
  EXPECT_LT(int(world.market.RequestedPaths().size()) - world.SearchRequests(), 40);
  // The base as the harvest left it: readable, every member still there,
  // those not fetched left for the next run.
  testing::PointDataDirectoryAt(kept);
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "AName").size(), 60);
  EXPECT_GT(LoadContactWorkList().size(), 20);
  DbReleaseSharedConnection();
  testing::PointDataDirectoryAt(world.data.Directory());
}

}  // namespace
}  // namespace quenlo

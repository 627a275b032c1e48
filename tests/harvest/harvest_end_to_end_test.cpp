// The three harvests end to end: the sample marketplace, real pitrel
// processes, a real record base; driven the way the command line drives them.
#include "harvest/contact_harvest.h"
#include "harvest/harvest_cli.h"
#include "harvest/member_harvest.h"
#include "harvest/process_launcher.h"
#include "harvest/profile_harvest.h"
#include "harvest/search_query.h"
#include "harvest/store_failures.h"
#include "harvest/worker_protocol.h"
#include "harvest_world.h"
#include "tools/sample_market/expected_results.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <csignal>

namespace quenlo {
namespace {

using sample_market::MarketplaceOptions;
using testing::HarvestWorld;
using testing::RunSql;
using testing::Succeeded;

MarketplaceOptions Options(int members = 100, const char* faults = nullptr, int latencyMs = 0) {
  MarketplaceOptions options;
  options.members = members;
  options.latency_ms = latencyMs;
  options.slow_ms = 1500;
  if (faults) {
    std::string error;
    EXPECT_TRUE(sample_market::ParseFaultPlan(faults, &options.faults, &error)) << error;
  }
  return options;
}

struct HarvestRun {
  ProcessLauncher launcher{testing::PitrelPath()};
  HarvestHooks hooks;
  QString status;
  bool running = false;
  int enters = 0;
  explicit HarvestRun(int limit = 15) {
    hooks.launcher = &launcher;
    hooks.workerLimit = [limit] { return limit; };
    hooks.showStatus = [this](const QString& text) { status = text; };
    hooks.enterRunning = [this] { running = true, ++enters; };
    hooks.leaveRunning = [this] { running = false; };
  }
};

QSet<QString> AsSet(const QStringList& list) { return {list.begin(), list.end()}; }

TEST(MemberHarvestTest, NinetyFiveHitsGiveThreePagesAndEveryMemberInBothTables) {
  HarvestWorld world(Options());
  ASSERT_EQ(RunHarvestCommand({"members", "hits95", "--threads", "5"}), 0)
      << world.messenger.messages.join("\n").toStdString();
  const QStringList contacts = HarvestWorld::Column(kContactTable, "AName");
  EXPECT_EQ(contacts.size(), 95);
  EXPECT_EQ(AsSet(contacts), AsSet(world.CatalogueNames(95)));
  EXPECT_EQ(AsSet(HarvestWorld::Column(kProfileTable, "AName")), AsSet(contacts));
  EXPECT_EQ(world.SearchRequests(), 3);
  EXPECT_TRUE(world.WorkFiles().isEmpty()) << world.WorkFiles().join(" ").toStdString();

  // The same search again leaves each member once, in its oldest row.
  const QStringList firstIds = HarvestWorld::Column(kContactTable, "ID");
  ASSERT_EQ(RunHarvestCommand({"members", "hits95"}), 0);
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "ID"), firstIds);
  EXPECT_EQ(HarvestWorld::Column(kProfileTable, "AName").size(), 95);
}

TEST(MemberHarvestTest, RepeatsWithinOneSearchAreLeftOnceAndCounted) {
  HarvestWorld world(Options(30));
  HarvestRun run(5);
  const auto outcome = HarvestMemberNames("hits95", "", run.hooks);
  EXPECT_EQ(outcome.end, HarvestEnd::Finished);
  EXPECT_EQ(outcome.pages, 3);
  EXPECT_EQ(outcome.namesStored, 95);
  EXPECT_EQ(run.status, "已下载会员数：95");
  const QStringList names = HarvestWorld::Column(kContactTable, "AName");
  EXPECT_EQ(names.size(), 30);
  EXPECT_EQ(AsSet(names).size(), 30);
  EXPECT_EQ(HarvestWorld::Column(kProfileTable, "AName").size(), 30);
  EXPECT_FALSE(run.running);
}

TEST(MemberHarvestTest, FirstPageDecidesHowMuchMoreIsFetched) {
  HarvestWorld world(Options());
  HarvestRun run;
  EXPECT_EQ(HarvestMemberNames("hits40", "", run.hooks).pages, 1);
  EXPECT_EQ(world.SearchRequests(), 1);
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "AName").size(), 40);

  EXPECT_EQ(HarvestMemberNames("hits0", "", run.hooks).pages, 0);
  EXPECT_EQ(HarvestMemberNames("nocount", "", run.hooks).pages, 0);
  EXPECT_EQ(world.SearchRequests(), 3);
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "AName").size(), 40);
  EXPECT_EQ(run.enters, 3);
  EXPECT_FALSE(run.running);

  // A cancelled query fetches nothing but still ends normally.
  EXPECT_EQ(HarvestMemberNames("", "", run.hooks).end, HarvestEnd::Finished);
  EXPECT_EQ(world.SearchRequests(), 3);
}

TEST(ContactHarvestTest, FillsEveryMemberInBothContactForms) {
  HarvestWorld world(Options(60));
  HarvestRun run;
  HarvestMemberNames("hits60", "", run.hooks);
  const auto outcome = HarvestContacts(run.hooks);
  EXPECT_EQ(outcome.end, HarvestEnd::Finished);
  EXPECT_EQ(outcome.members, 60);
  EXPECT_EQ(run.status, "已下载会员地址数：60");

  const auto companies = HarvestWorld::ByMember(kContactTable, "CName");
  const auto phones = HarvestWorld::ByMember(kContactTable, "RPhone");
  const auto people = HarvestWorld::ByMember(kContactTable, "RName");
  QSet<int> forms;
  for (const auto& member : world.market.catalogue().members()) {
    const QString name = QString::fromStdString(member.name);
    const auto expected = sample_market::ExpectedContactFields(member);
    forms.insert(int(member.contact_form));
    EXPECT_EQ(companies.value(name), QString::fromStdString(expected[1])) << member.name;
    EXPECT_EQ(phones.value(name), QString::fromStdString(expected[6])) << member.name;
    EXPECT_EQ(people.value(name), QString::fromStdString(expected[9])) << member.name;
  }
  EXPECT_EQ(forms.size(), 2);  // both forms were among them

  // Nothing left to fetch: told so, nothing launched.
  run.launcher.ResetPeak();
  EXPECT_EQ(HarvestContacts(run.hooks).members, 0);
  EXPECT_EQ(world.messenger.messages.last(), kNoContactsToFetch);
}

TEST(ProfileHarvestTest, FillsProfilesAndLeavesDirectoryEntriesUnfinished) {
  HarvestWorld world(Options(50));
  HarvestRun run;
  HarvestMemberNames("hits50", "", run.hooks);
  const auto outcome = HarvestProfiles(run.hooks);
  EXPECT_EQ(outcome.end, HarvestEnd::Finished);
  EXPECT_EQ(outcome.collected, 50);

  const auto intros = HarvestWorld::ByMember(kProfileTable, "Intro");
  const auto products = HarvestWorld::ByMember(kProfileTable, "Prod");
  int directoryEntries = 0;
  for (const auto& member : world.market.catalogue().members()) {
    const QString name = QString::fromStdString(member.name);
    const auto expected = sample_market::ExpectedProfileFields(member);
    if (member.profile_form == sample_market::ProfileForm::kDirectoryEntry) {
      ++directoryEntries;
      EXPECT_EQ(intros.value(name), "") << member.name;
    } else {
      EXPECT_EQ(intros.value(name), QString::fromStdString(expected.at(17))) << member.name;
      EXPECT_EQ(products.value(name), QString::fromStdString(expected.at(16))) << member.name;
    }
  }
  EXPECT_GT(directoryEntries, 0);
  EXPECT_EQ(LoadProfileWorkList().size(), directoryEntries);
}

TEST(HostileNameTest, NamesNeitherBreakTheBaseNorEscapeTheWorkDirectory) {
  MarketplaceOptions options = Options(20, "hostile");
  HarvestWorld world(options);
  HarvestRun run;
  HarvestMemberNames("hits20", "", run.hooks);
  const QStringList names = HarvestWorld::Column(kContactTable, "AName");
  EXPECT_TRUE(names.contains("a'b"));
  for (const char* hostile : {"x y", "../evil", "a/b", "'; DROP TABLE 地址表; --"})
    EXPECT_FALSE(names.contains(hostile)) << hostile;
  EXPECT_EQ(names.size(), 16);

  HarvestContacts(run.hooks);
  HarvestProfiles(run.hooks);
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "AName").size(), 16);
  EXPECT_EQ(HarvestWorld::Column(kProfileTable, "AName").size(), 16);
  EXPECT_TRUE(world.Escaped().isEmpty()) << world.Escaped().join(" ").toStdString();
}

// The worker's field separator in a keyword would name another result file:
// refused by the query and the command line, and never handed to a worker.
TEST(HostileNameTest, SeparatorInAKeywordNeverReachesAWorker) {
  HarvestWorld world(Options(10));
  const QString outside = QDir(world.data.Directory()).filePath("planted");
  const QString keyword = QStringList{"x", outside, "0"}.join(kCommandSeparator);
  EXPECT_EQ(KeywordProblem(keyword), kKeywordSeparatorMessage);
  EXPECT_FALSE(ConfirmQuery(keyword, kDefaultRegionEntry));
  EXPECT_EQ(RunHarvestCommand({"members", keyword}), 2);

  HarvestRun run;
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(HarvestMemberNames(keyword, "", run.hooks).pages, 0);
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(run.launcher.PeakRunning(), 0);
  EXPECT_EQ(world.SearchRequests(), 0);
  EXPECT_FALSE(QFile::exists(outside));
}

TEST(StopTest, StopEndsEachHarvestAndRestoresItsIndicator) {
  HarvestWorld world(Options(100, "slow@search:%2,slow@contact:*,slow@intro:*"));
  {
    HarvestRun run(2);
    bool stop = false;
    run.hooks.stopRequested = [&] { return stop; };
    run.hooks.showStatus = [&](const QString&) { stop = true; };  // after the first page
    const auto outcome = HarvestMemberNames("hits400", "", run.hooks);
    EXPECT_EQ(outcome.end, HarvestEnd::Stopped);
    EXPECT_EQ(outcome.pages, 10);
    EXPECT_EQ(HarvestWorld::Column(kContactTable, "AName").size(), 40);
    EXPECT_FALSE(run.running);
  }
  for (int which = 0; which < 2; ++which) {
    HarvestRun run(3);
    QElapsedTimer clock;
    clock.start();
    run.hooks.stopRequested = [&] { return clock.elapsed() > 500; };
    const HarvestEnd end =
        which == 0 ? HarvestContacts(run.hooks).end : HarvestProfiles(run.hooks).end;
    EXPECT_EQ(end, HarvestEnd::Stopped);
    EXPECT_LT(clock.elapsed(), 1400);  // before any slow page could arrive
    EXPECT_FALSE(run.running);
  }
  EXPECT_EQ(LoadContactWorkList().size(), 40);
}

TEST(StopTest, FirstPageWaitCanBeStopped) {
  HarvestWorld world(Options(100, "hang@search:1"));
  HarvestRun run;
  QElapsedTimer clock;
  clock.start();
  run.hooks.stopRequested = [&] { return clock.elapsed() > 300; };
  EXPECT_EQ(HarvestMemberNames("hits95", "", run.hooks).end, HarvestEnd::Stopped);
  EXPECT_LT(clock.elapsed(), 3000);
  EXPECT_TRUE(HarvestWorld::Column(kContactTable, "AName").isEmpty());
}

TEST(WorkerTest, KilledWorkerFreesItsSlotAndLimitIsKept) {
  HarvestWorld world(Options(30, "hang@contact:#2", 150));
  HarvestRun run(5);
  HarvestMemberNames("hits30", "", run.hooks);
  EXPECT_EQ(run.launcher.Running(), 0) << "the search page's worker outlived its harvest";
  run.launcher.ResetPeak();
  // Once the others are done only the hung worker is left: kill it.
  QTimer killer;
  killer.setInterval(100);
  QObject::connect(&killer, &QTimer::timeout, [&] {
    const auto ids = run.launcher.RunningProcessIds();
    if (LoadContactWorkList().size() == 1 && ids.size() == 1) ::kill(pid_t(ids[0]), SIGKILL);
  });
  killer.start();
  QElapsedTimer clock;
  clock.start();
  const auto outcome = HarvestContacts(run.hooks);
  EXPECT_EQ(outcome.end, HarvestEnd::Finished);
  EXPECT_EQ(outcome.collected, 30);
  EXPECT_LT(clock.elapsed(), 20000);  // long before the worker's own time limit
  EXPECT_EQ(run.launcher.PeakRunning(), 5);
  const QStringList unfinished = LoadContactWorkList();
  ASSERT_EQ(unfinished.size(), 1);
  EXPECT_EQ(unfinished[0], QString::fromStdString(world.market.catalogue().at(2).name));
}

TEST(StoreTest, ResultFieldsLandInTheirColumns) {
  HarvestWorld world(Options(1));
  RunSql("INSERT INTO 地址表(AName) VALUES(?)", {"m1"});
  RunSql("INSERT INTO 介绍表(AName) VALUES(?)", {"m1"});
  const QString& sep = kFieldSeparator;
  const QStringList contact12 = {"家具", "m1", "f2", "f3", "f4",  "f5",
                                 "f6",   "f7", "f8", "f9", "f10", ""};
  EXPECT_TRUE(Succeeded(StoreContact(contact12.join(sep))));
  QStringList contact;
  for (const char* column :
       {"CAddr", "CName", "CUrl", "CPC", "RFax", "RMob", "RPhone", "RJob", "RSex", "RName"})
    contact.append(HarvestWorld::Column(kContactTable, column).value(0));
  EXPECT_EQ(contact, QStringList({"f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9", "f10", ""}));
  const QStringList contact11 = {"家具", "m1", "x", "x", "x", "x", "x", "x", "x", "x", "x"};
  EXPECT_TRUE(Succeeded(StoreContact(contact11.join(sep))));
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "CName").value(0), "f3");  // eleven parts: nothing
  QStringList profileShaped = {"家具", "m1"};
  for (int k = 1; k <= 18; ++k) profileShaped.append("x");
  EXPECT_TRUE(Succeeded(StoreContact(profileShaped.join(sep))));
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "CName").value(0), "f3");  // not a contact result

  QStringList parts = {"m1"};
  for (int k = 1; k <= 20; ++k) parts.append(QString("p%1").arg(k));
  EXPECT_TRUE(Succeeded(StoreProfile(parts.join(sep))));
  QStringList profile;
  for (const char* column : {"RCap", "Score", "BA", "RV", "MKT", "RDate", "SNum", "RAddr", "Model",
                             "RMode", "Field", "Prod", "Intro"})
    profile.append(HarvestWorld::Column(kProfileTable, column).value(0));
  EXPECT_EQ(profile, QStringList({"p3", "p4", "p6", "p7", "p8", "p10", "p11", "p12", "p14", "p15",
                                  "p16", "p17", "p18"}));
  // A directory entry empties every column.
  EXPECT_TRUE(Succeeded(StoreProfile("m1" + sep + "公司黄页" + sep)));
  EXPECT_EQ(
      HarvestWorld::Column(kProfileTable, "AName", "Intro='' AND Score='' AND Prod=''").size(), 1);
}

// The first result the base refuses (disk full, locked) ends the harvest:
// the user is told, the pages on their way are thrown away and no more are
// fetched; what was not stored stays for the next run.
TEST(StoreTest, TheFirstResultTheBaseRefusesEndsTheHarvestBeforeMoreIsFetched) {
  HarvestWorld world(Options(80));
  HarvestRun run(5);
  const QString blocked = QString::fromStdString(world.market.catalogue().at(2).name);
  RunSql("CREATE TRIGGER refuse BEFORE INSERT ON 地址表 WHEN NEW.AName='" + blocked +
         "' BEGIN SELECT RAISE(ABORT, 'disk full'); END");
  const auto members = HarvestMemberNames("hits80", "", run.hooks);
  EXPECT_EQ(members.end, HarvestEnd::StoreFailed);
  EXPECT_TRUE(HarvestWorld::Column(kContactTable, "AName").isEmpty());  // page 1 all or nothing
  EXPECT_EQ(world.SearchRequests(), 1);
  EXPECT_EQ(world.messenger.messages.value(0),
            "保存下载结果失败：搜索结果第 1 页\r\ndisk full\r\n" + kHarvestEndedNote);
  RunSql("DROP TRIGGER refuse");
  HarvestMemberNames("hits80", "", run.hooks);

  RunSql("CREATE TRIGGER refuse BEFORE UPDATE ON 地址表 WHEN OLD.AName<>'" + blocked +
         "' AND NEW.CName<>'' BEGIN SELECT RAISE(ABORT, 'disk full'); END");
  world.messenger.messages.clear();
  const auto outcome = HarvestContacts(run.hooks);
  EXPECT_EQ(outcome.end, HarvestEnd::StoreFailed);
  EXPECT_EQ(world.messenger.messages.size(), 1);
  EXPECT_TRUE(world.messenger.messages.value(0).startsWith("保存下载结果失败："));
  EXPECT_EQ(outcome.tally.storageFailure,
            "results could not be stored in the record base (disk full)");
  const auto paths = world.market.RequestedPaths();
  const auto contactPages = std::count_if(paths.begin(), paths.end(), [](const std::string& path) {
    return path.rfind("/company/detail/contact/", 0) == 0;
  });
  EXPECT_LE(contactPages, 6);  // the first five, and one more only if the blocked one came first
  EXPECT_GE(LoadContactWorkList().size(), 79);  // all still there for the next run
  EXPECT_EQ(run.launcher.Running(), 0);
  EXPECT_TRUE(world.WorkFiles().isEmpty()) << world.WorkFiles().join(" ").toStdString();
}

// A base that cannot be read: each harvest shows the statement that failed,
// then what it makes of that, and a member harvest still removes repeats.
TEST(StoreTest, ABaseThatCannotBeReadIsShownBeforeWhatTheHarvestMakesOfIt) {
  HarvestWorld world(Options(95));
  HarvestRun run(5);
  ASSERT_TRUE(QFile::remove(DatabasePath()));
  HarvestContacts(run.hooks);
  HarvestProfiles(run.hooks);
  HarvestMemberNames("", "", run.hooks);
  const QString removeRepeats = "数据库打开错误(SELECT * FROM 地址表 ORDER BY AName,ID)！";
  const QString removeRepeatedProfiles = "数据库打开错误(SELECT * FROM 介绍表 ORDER BY AName,ID)！";
  EXPECT_EQ(
      world.messenger.messages,
      QStringList({"数据库打开错误(SELECT AName FROM 地址表 WHERE CName='')！", kNoContactsToFetch,
                   "数据库打开错误(SELECT AName FROM 介绍表 WHERE Intro='')！", removeRepeats,
                   removeRepeatedProfiles}));

  world.messenger.messages.clear();
  const auto outcome = HarvestMemberNames("hits95", "", run.hooks);
  EXPECT_EQ(outcome.end, HarvestEnd::StoreFailed);  // at the first page, the others never fetched
  EXPECT_EQ(world.SearchRequests(), 1);
  EXPECT_EQ(world.messenger.messages,
            QStringList({"保存下载结果失败：搜索结果第 1 页\r\n无法建立数据库连接！\r\n" +
                             kHarvestEndedNote,
                         removeRepeats, removeRepeatedProfiles}));
}

TEST(CommandLineTest, ABaseThatCannotBeOpenedIsRefusedWithTheReason) {
  HarvestWorld world(Options(10));
  QFile empty(DatabasePath());
  ASSERT_TRUE(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
  empty.close();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunHarvestCommand({"contacts"}), 1);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "quenlo: cannot open the record base: the file is not a record base (its tables are "
            "missing)\n");
  EXPECT_TRUE(world.messenger.messages.isEmpty());
}

TEST(CommandLineTest, RefusesWithoutWorkerOrBaseOrWithBadArguments) {
  HarvestWorld world(Options(10));
  EXPECT_EQ(RunHarvestCommand({"members"}), 2);
  EXPECT_EQ(RunHarvestCommand({"members", "abc", "火星"}), 2);
  EXPECT_EQ(RunHarvestCommand({"contacts", "--threads", "0"}), 2);
  EXPECT_EQ(RunHarvestCommand({"contacts", "--retries", "11"}), 2);
  EXPECT_EQ(RunHarvestCommand({"contacts", "--delay", "-1"}), 2);
  EXPECT_EQ(RunHarvestCommand({"members", "abc", "--delay"}), 2);
  EXPECT_EQ(RunHarvestCommand({"sideways"}), 2);

  qputenv("QUENLO_PITREL", "/nonexistent/pitrel");
  EXPECT_EQ(RunHarvestCommand({"members", "hits10"}), 1);
  qputenv("QUENLO_PITREL", testing::PitrelPath().toUtf8());

  // No hits is a finished run, but the user hears that nothing came.
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunHarvestCommand({"members", "hits0"}), 0);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("no hits"), std::string::npos);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunHarvestCommand({"members", "hits10"}), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr().find("no hits"), std::string::npos);

  // A run in which not one page could be read is no success either.
  const QByteArray mainHost = qgetenv("QUENLO_MAIN_HOST");
  qputenv("QUENLO_MAIN_HOST", "127.0.0.1:1");
  EXPECT_EQ(RunHarvestCommand({"contacts", "--retries", "0"}), 1);
  EXPECT_EQ(RunHarvestCommand({"profiles", "--retries", "0"}), 1);
  qputenv("QUENLO_MAIN_HOST", mainHost);
  EXPECT_EQ(RunHarvestCommand({"contacts"}), 0);

  // Names fetched but refused by the base make the run fail for a script
  // (names not stored yet: those already there are not entered again).
  RunSql("DELETE FROM 地址表");
  RunSql(
      "CREATE TRIGGER refuse BEFORE INSERT ON 地址表 BEGIN SELECT RAISE(ABORT, 'disk full'); END");
  EXPECT_EQ(RunHarvestCommand({"members", "hits10"}), 1);
  RunSql("DROP TRIGGER refuse");

  QFile::remove(DatabasePath());
  DbReleaseSharedConnection();
  EXPECT_EQ(RunHarvestCommand({"contacts"}), 1);
  const int searchesBefore = world.SearchRequests();
  QFile empty(DatabasePath());  // there, but no record base: refused before any page
  ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
  empty.close();
  EXPECT_EQ(RunHarvestCommand({"members", "hits10"}), 1);
  EXPECT_EQ(world.SearchRequests(), searchesBefore);
}

// This process's children still there, running or not yet reaped.
int ChildProcesses() {
  int children = 0;
  const QString self = QString::number(QCoreApplication::applicationPid());
  for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
    QFile stat("/proc/" + pid + "/stat");
    if (!stat.open(QIODevice::ReadOnly)) continue;
    // pid (name) state ppid ...: the name may hold spaces, the rest cannot.
    const QString text = QString::fromUtf8(stat.readAll());
    children += text.mid(text.lastIndexOf(')') + 2).section(' ', 1, 1) == self;
  }
  return children;
}

TEST(CommandLineTest, CtrlCAndTermStopLikeTheStopButton) {
  HarvestWorld world(Options(100, "slow@search:%2"));
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    RunSql("DELETE FROM 地址表");
    RunSql("DELETE FROM 介绍表");
    int fetching = 0;
    QTimer::singleShot(800, [signal, &fetching] {
      fetching = ChildProcesses();
      std::raise(signal);
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(RunHarvestCommand({"members", "hits400", "浙江", "--threads", "5"}), 130);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_GT(fetching, 0);
    EXPECT_EQ(ChildProcesses(), 0);  // the slow pages' workers were ended, not left running
    const QStringList names = HarvestWorld::Column(kContactTable, "AName");
    EXPECT_GE(names.size(), 40);
    EXPECT_LT(names.size(), 400);
    EXPECT_EQ(AsSet(names).size(), names.size());  // repeats removed on the way out
  }
}

}  // namespace
}  // namespace quenlo

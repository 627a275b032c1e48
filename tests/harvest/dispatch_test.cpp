// The dispatch pass with a launcher that delivers result files on command:
// real files in a real directory, the pass's order, slot keeping, retries and
// ends observed.
#include "harvest/dispatch_pass.h"
#include "harvest/result_file.h"
#include "harvest/store_failures.h"
#include "harvest/wait_ticks.h"
#include "harvest/worker_launcher.h"
#include "ports/event_pump.h"
#include "tests/support/recording_messenger.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

namespace quenlo {
namespace {

// Workers that the test finishes by hand: Deliver writes the result the way
// the worker does (temporary name, then rename) and ends the worker.
class HandLauncher final : public WorkerLauncher {
 public:
  bool Ready(QString*) override { return true; }
  void Launch(const QString&, const QString& resultFile, int) override {
    if (stopwatch) lastLaunchMs = stopwatch->elapsed();
    launched.append(resultFile);
    ended.remove(resultFile);  // the worker of the latest launch
  }
  bool HasEnded(const QString& resultFile) override { return ended.contains(resultFile); }
  bool TakeEndNotice() override { return std::exchange(notice, false); }
  std::optional<int> ExitStatus(const QString& resultFile) override {
    return exits.contains(resultFile) ? std::optional<int>(exits[resultFile]) : std::nullopt;
  }
  void StopAll() override { ++stops; }

  void Deliver(const QString& file, const QByteArray& text) {
    Write(file, text);
    EndWithoutResult(file);
  }
  // The worker's failure companion, then its (empty) result, as pitrel writes them.
  void DeliverFailure(const QString& file, bool transient, int status) {
    const pitrel::PageFailure failure{transient, status, std::nullopt,
                                      "HTTP " + std::to_string(status)};
    Write(file + ".fail", QByteArray::fromStdString(pitrel::FormatPageFailure(failure)));
    Deliver(file, " ");
  }
  void EndWithoutResult(const QString& file) {
    ended.insert(file);
    notice = true;
  }

  QStringList launched;
  QSet<QString> ended;
  QHash<QString, int> exits;  // workers that exited by themselves, and how
  bool notice = false;
  int stops = 0;
  const QElapsedTimer* stopwatch = nullptr;  // when set, the last launch's time on it
  qint64 lastLaunchMs = -1;

 private:
  static void Write(const QString& file, const QByteArray& text) {
    QFile tmp(file + ".TMP");
    ASSERT_TRUE(tmp.open(QIODevice::WriteOnly));
    tmp.write(text);
    tmp.close();
    ASSERT_TRUE(QFile::rename(file + ".TMP", file));
  }
};

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(work_.isValid());
    previous_ = QDir::currentPath();
    QDir::setCurrent(work_.path());
    hooks_.launcher = &launcher_;
    hooks_.workerLimit = [this] { return limit_; };
    hooks_.stopRequested = [this] { return stop_; };
  }
  void TearDown() override { QDir::setCurrent(previous_); }

  static QString File(int unit) { return QStringLiteral("Temp_u%1").arg(unit); }
  // Without a pause between passes by default: the test itself decides when results arrive.
  std::unique_ptr<Dispatcher> Make(DispatchTable& table, DispatchRules rules = {},
                                   int passPauseTicks = 0) {
    rules.passPauseTicks = passPauseTicks;
    return std::make_unique<Dispatcher>(
        rules,
        [](int unit) {
          const QString name = QStringLiteral("u%1").arg(unit);
          return WorkUnit{name, File(unit), QStringLiteral("market.test"), name};
        },
        table, hooks_,
        [this](int unit, const QString& text) {
          stored_.append(unit);
          texts_.append(text);
          return storeStatus_;
        });
  }

  QTemporaryDir work_;
  QString previous_;
  testing::RecordingMessenger messenger_;
  HandLauncher launcher_;
  HarvestHooks hooks_;
  int limit_ = 5;
  bool stop_ = false;
  QList<int> stored_;
  QStringList texts_;
  DbStatus storeStatus_;
};

TEST_F(DispatchTest, LaunchesUnderLimitAndCollectsInUnitOrder) {
  DispatchTable table(12);
  auto dispatcher = Make(table);

  ASSERT_TRUE(dispatcher->Pass());
  EXPECT_EQ(launcher_.launched, QStringList({File(1), File(2), File(3), File(4), File(5)}));
  EXPECT_EQ(table.Outstanding(), 5);

  // Unit 3 arrives first: collected at once, the low-water mark waits for 1 and 2.
  launcher_.Deliver(File(3), "three");
  ASSERT_TRUE(dispatcher->Pass());
  EXPECT_EQ(stored_, QList<int>({3}));
  EXPECT_EQ(launcher_.launched.size(), 5);  // unit 6 only after a slot came free
  EXPECT_EQ(table.Low(), 1);
  EXPECT_FALSE(QFile::exists(File(3)));

  ASSERT_TRUE(dispatcher->Pass());
  EXPECT_EQ(launcher_.launched.size(), 6);

  // Results of 5, 2 and 1 arrive together: taken in unit order in one pass.
  launcher_.Deliver(File(5), "five");
  launcher_.Deliver(File(2), "two");
  launcher_.Deliver(File(1), "one");
  ASSERT_TRUE(dispatcher->Pass());
  EXPECT_EQ(stored_, QList<int>({3, 1, 2, 5}));
  EXPECT_EQ(table.Low(), 4);  // past 1, 2 and 3; 4 still outstanding
  EXPECT_EQ(texts_.at(1), "one");

  for (int unit = 4; unit <= 12; ++unit) {
    while (table.State(unit) == UnitState::NotStarted) ASSERT_TRUE(dispatcher->Pass());
    if (table.State(unit) == UnitState::Launched) launcher_.Deliver(File(unit), "x");
  }
  while (dispatcher->Pass()) {
  }
  EXPECT_TRUE(table.AllCollected());
  EXPECT_EQ(stored_.size(), 12);
  EXPECT_FALSE(dispatcher->Stopped());
  EXPECT_LE(launcher_.launched.size(), 12);
}

TEST_F(DispatchTest, WorkerEndingWithoutResultFreesItsSlot) {
  limit_ = 2;
  DispatchTable table(3);
  auto dispatcher = Make(table);
  ASSERT_TRUE(dispatcher->Pass());
  launcher_.EndWithoutResult(File(1));
  ASSERT_TRUE(dispatcher->Pass());
  EXPECT_EQ(table.State(1), UnitState::Collected);
  EXPECT_TRUE(stored_.isEmpty());  // nothing to store for it
  ASSERT_TRUE(dispatcher->Pass());
  EXPECT_EQ(launcher_.launched.size(), 3);
  ASSERT_EQ(dispatcher->Tally().failed.size(), 1u);  // killed or crashed: it failed for good
  EXPECT_EQ(dispatcher->Tally().failed[0].member, "u1");
  EXPECT_FALSE(dispatcher->Tally().failed[0].failure.transient);
}

TEST_F(DispatchTest, ATransientFailureWaitsWithoutASlotAndIsLaunchedAgainWhenDue) {
  limit_ = 1;
  hooks_.retry.firstBackoff = std::chrono::milliseconds(80);
  hooks_.jitter = [] { return 0.5; };
  DispatchTable table(2);
  auto dispatcher = Make(table);
  ASSERT_TRUE(dispatcher->Pass());
  launcher_.DeliverFailure(File(1), true, 500);
  QElapsedTimer sinceFailure;
  sinceFailure.start();
  ASSERT_TRUE(dispatcher->Pass());
  EXPECT_EQ(table.State(1), UnitState::Waiting);
  EXPECT_FALSE(QFile::exists(File(1)));  // the failed page's result is not kept
  EXPECT_FALSE(QFile::exists(File(1) + ".fail"));
  ASSERT_TRUE(dispatcher->Pass());
  EXPECT_EQ(launcher_.launched, QStringList({File(1), File(2)}));  // its slot went to unit 2
  launcher_.Deliver(File(2), "two");
  while (launcher_.launched.size() < 3) ASSERT_TRUE(dispatcher->Pass());
  EXPECT_GE(sinceFailure.elapsed(), 80);
  EXPECT_EQ(launcher_.launched.last(), File(1));
  launcher_.Deliver(File(1), "one");
  while (dispatcher->Pass()) {
  }
  EXPECT_EQ(stored_, QList<int>({2, 1}));
  EXPECT_EQ(dispatcher->Tally().read, 2);
  EXPECT_EQ(dispatcher->Tally().retriedPages, 1);
  EXPECT_TRUE(dispatcher->Tally().Complete());
}

// While a page's retry is due but every slot is taken, the pass sleeps until
// a worker ends instead of waking every millisecond to find no room.
TEST_F(DispatchTest, ADueRetryWithNoFreeSlotWaitsForAWorkerToEnd) {
  limit_ = 1;
  hooks_.retry.firstBackoff = std::chrono::milliseconds(10);
  hooks_.jitter = [] { return 0.5; };
  DispatchTable table(2);
  auto dispatcher = Make(table, {}, /*passPauseTicks=*/500);  // 50 ms
  ASSERT_TRUE(dispatcher->Pass());
  launcher_.DeliverFailure(File(1), true, 500);
  ASSERT_TRUE(dispatcher->Pass());
  ASSERT_TRUE(dispatcher->Pass());
  ASSERT_EQ(launcher_.launched, QStringList({File(1), File(2)}));
  QThread::msleep(20);  // unit 1 is due; unit 2 holds the only slot

  QElapsedTimer clock;
  clock.start();
  int passes = 0;
  for (; clock.elapsed() < 120; ++passes) ASSERT_TRUE(dispatcher->Pass());
  EXPECT_LE(passes, 4);

  launcher_.Deliver(File(2), "two");
  clock.restart();
  launcher_.stopwatch = &clock;
  while (launcher_.launched.size() < 3) ASSERT_TRUE(dispatcher->Pass());
  EXPECT_LT(launcher_.lastLaunchMs, 40) << "a worker's end starts the due page at once";
  EXPECT_EQ(launcher_.launched.last(), File(1));
}

TEST_F(DispatchTest, PermanentFailuresAndPagesOutOfTriesFailForGoodWithTheirReasons) {
  hooks_.retry.retries = 0;
  DispatchTable table(3);
  auto dispatcher = Make(table);
  ASSERT_TRUE(dispatcher->Pass());
  launcher_.DeliverFailure(File(1), false, 404);
  launcher_.DeliverFailure(File(2), true, 500);
  launcher_.Deliver(File(3), "three");
  EXPECT_FALSE(dispatcher->Pass());
  EXPECT_EQ(dispatcher->Run(), HarvestEnd::Finished);
  EXPECT_EQ(stored_, QList<int>({3}));
  const HarvestTally& tally = dispatcher->Tally();
  ASSERT_EQ(tally.failed.size(), 2u);
  EXPECT_EQ(PageName(tally.failed[0]), "member u1");
  EXPECT_EQ(FailureText(tally.failed[0]), "HTTP 404, permanent");
  EXPECT_EQ(FailureText(tally.failed[1]), "HTTP 500, still failing after 1 try");
  EXPECT_EQ(TallyLine(tally), "1 read, 0 retried, 2 failed for good");
  EXPECT_EQ(launcher_.launched.size(), 3);
}

TEST_F(DispatchTest, AWorkerThatEndedByItselfWithoutAResultMeansTheWorkFolderIsFull) {
  DispatchTable table(12);
  auto dispatcher = Make(table);
  ASSERT_TRUE(dispatcher->Pass());
  launcher_.exits[File(2)] = 0;
  launcher_.EndWithoutResult(File(2));
  EXPECT_FALSE(dispatcher->Pass());
  EXPECT_EQ(dispatcher->Run(), HarvestEnd::StoreFailed);
  EXPECT_EQ(launcher_.stops, 1);            // the pages still on their way are thrown away
  EXPECT_EQ(launcher_.launched.size(), 5);  // and nothing more is fetched
  EXPECT_TRUE(dispatcher->Tally().storageFailure.contains("work folder"));
  ASSERT_EQ(messenger_.messages.size(), 1);
  EXPECT_TRUE(messenger_.messages[0].startsWith("工作目录已满或无法写入"));
}

TEST_F(DispatchTest, AResultTheStoreRefusesEndsTheRunAtOnce) {
  storeStatus_ = DbStatus::Failed("database or disk is full");
  DispatchTable table(12);
  auto dispatcher = Make(table);
  ASSERT_TRUE(dispatcher->Pass());
  launcher_.Deliver(File(1), "one");
  launcher_.Deliver(File(2), "two");
  EXPECT_FALSE(dispatcher->Pass());
  EXPECT_EQ(stored_, QList<int>({1}));   // the second result is not even tried
  EXPECT_FALSE(QFile::exists(File(2)));  // nor left for a later run to take
  EXPECT_EQ(launcher_.stops, 1);
  EXPECT_EQ(launcher_.launched.size(), 5);
  EXPECT_EQ(dispatcher->Run(), HarvestEnd::StoreFailed);
  EXPECT_EQ(
      messenger_.messages,
      QStringList({"保存下载结果失败：u1\r\ndatabase or disk is full\r\n" + kHarvestEndedNote}));
  EXPECT_EQ(dispatcher->Tally().storageFailure,
            "results could not be stored in the record base (database or disk is full)");
}

TEST_F(DispatchTest, ResultRenamedJustBeforeExitIsStillRead) {
  DispatchTable table(1);
  auto dispatcher = Make(table);
  ASSERT_TRUE(dispatcher->Pass());
  launcher_.Deliver(File(1), "late");
  EXPECT_FALSE(dispatcher->Pass());
  EXPECT_EQ(texts_, QStringList({"late"}));
}

TEST_F(DispatchTest, MemberModeTakesOneResultPerPassAndStopsFirst) {
  DispatchTable table(4);
  table.PreCollect(1);
  DispatchRules rules;
  rules.oneResultPerPass = true;
  rules.stopTestFirst = true;
  auto dispatcher = Make(table, rules);
  ASSERT_TRUE(dispatcher->Pass());
  EXPECT_EQ(launcher_.launched, QStringList({File(2), File(3), File(4)}));
  launcher_.Deliver(File(3), "a");
  launcher_.Deliver(File(4), "b");
  ASSERT_TRUE(dispatcher->Pass());
  EXPECT_EQ(stored_, QList<int>({3}));
  stop_ = true;
  EXPECT_FALSE(dispatcher->Pass());
  EXPECT_TRUE(dispatcher->Stopped());
  EXPECT_EQ(stored_, QList<int>({3}));  // a stopped pass collects nothing
  EXPECT_EQ(launcher_.stops, 1);        // and ends the workers still running
}

TEST_F(DispatchTest, StaleFileIsRemovedOnlyWhereTheRulesSaySo) {
  QFile stale(File(1));
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.write("old");
  stale.close();
  DispatchTable keeping(1);
  DispatchRules rules;
  rules.deleteStaleFile = false;
  auto profiles = Make(keeping, rules);
  ASSERT_TRUE(profiles->Pass());
  EXPECT_TRUE(texts_.isEmpty());  // its worker still runs
  launcher_.EndWithoutResult(File(1));
  EXPECT_FALSE(profiles->Pass());
  EXPECT_EQ(texts_, QStringList({"old"}));  // taken as this unit's result

  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.write("old");
  stale.close();
  DispatchTable removing(1);
  launcher_.ended.clear();
  auto contacts = Make(removing);
  ASSERT_TRUE(contacts->Pass());
  EXPECT_FALSE(QFile::exists(File(1)));
}

// Counts what WaitTicks asks of the pump.
class CountingPump final : public EventPump {
 public:
  void ProcessPending() override { ++pending; }
  void WaitForEvents(int ms) override {
    ++waits;
    QThread::msleep(ms);
  }
  int pending = 0;
  int waits = 0;
};

TEST(WaitTicksTest, PumpsTwiceThenSleepsWithoutSpinning) {
  CountingPump pump;
  SetActivePump(&pump);
  WaitTicks(-1);
  EXPECT_EQ(pump.pending, 0);
  WaitTicks(0);
  EXPECT_EQ(pump.pending, 2);
  EXPECT_EQ(pump.waits, 0);
  WaitTicks(500);  // 50 ms in a handful of sleeps, not a busy loop
  EXPECT_GE(pump.waits, 1);
  EXPECT_LE(pump.waits, 3);
  pump.waits = 0;
  WaitTicks(100000, [] { return true; });  // a wake ends it before any sleep
  EXPECT_EQ(pump.waits, 0);
  SetActivePump(nullptr);
}

TEST_F(DispatchTest, ReadResultFileWaitsForContentThenDeletes) {
  QFile file("Temp_slow");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  QTimer::singleShot(30, [] {
    QFile late("Temp_slow");
    late.open(QIODevice::WriteOnly);
    late.write("\xb9\xab\xcb\xbe");  // 公司 in GBK
  });
  EXPECT_EQ(ReadResultFile("Temp_slow", true), QStringLiteral("公司"));
  EXPECT_FALSE(QFile::exists("Temp_slow"));
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

TEST_F(DispatchTest, ReadResultFileGivesUpOnMissingFileWithMessage) {
  EXPECT_EQ(ReadResultFile("Temp_never", true), QString());
  ASSERT_EQ(messenger_.messages.size(), 1);
  EXPECT_EQ(messenger_.messages[0], QStringLiteral("无法打开下载文档：\r\nTemp_never"));
}

}  // namespace
}  // namespace quenlo

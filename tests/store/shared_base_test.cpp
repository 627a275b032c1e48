// The record base shared: with the file's own mode and times changing under
// an open transaction, and with another process writing at the same time.
#include <sys/stat.h>
#include <utime.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include "store_test_support.h"

namespace quenlo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Far below the 5 s a statement waits for a lock before it gives up.
constexpr qint64 kNoWaitMs = 1000;

// The sqlcipher shell running script on file, waiting up to 10 s for locks.
std::unique_ptr<QProcess> StartSqlcipherShell(const QString& file, const QString& script) {
  auto shell = std::make_unique<QProcess>();
  shell->setProcessChannelMode(QProcess::MergedChannels);
  shell->start(QStringLiteral("/usr/bin/sqlcipher"), {file});
  shell->write(("PRAGMA key='58203146';\n.timeout 10000\n" + script).toUtf8());
  shell->closeWriteChannel();
  EXPECT_TRUE(shell->waitForStarted());
  return shell;
}

// What chmod and touch do to a file: a new status-change time, same file.
void ChangeModeAndTimes(const QString& file, mode_t mode) {
  ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), mode), 0);
  ASSERT_EQ(::utime(QFile::encodeName(file).constData(), nullptr), 0);
}

class SharedBaseTest : public StoreTest {};

TEST_F(SharedBaseTest, ATransactionKeepsItsConnectionWhileTheFilesModeAndTimesChange) {
  QElapsedTimer timer;
  timer.start();
  DbTransaction page;
  ASSERT_TRUE(Succeeded(page.Begin()));
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('first')"));
  ChangeModeAndTimes(DataFile(), 0600);
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('second')"));
  ChangeModeAndTimes(DataFile(), 0644);
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('third')"));
  ASSERT_TRUE(Succeeded(page.Commit()));
  EXPECT_LT(timer.elapsed(), kNoWaitMs);

  // Outside a transaction the same file is not reopened either, and a fresh
  // connection finds every row.
  ChangeModeAndTimes(DataFile(), 0600);
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('fourth')"));
  DbReleaseSharedConnection();
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")),
              ElementsAre("first", "second", "third", "fourth"));
}

TEST_F(SharedBaseTest, AFileReplacedDuringATransactionIsOpenedOnlyOnceItEnds) {
  {
    DbTransaction page;
    ASSERT_TRUE(Succeeded(page.Begin()));
    RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('before')"));
    ASSERT_TRUE(QFile::remove(DataFile()));
    ASSERT_TRUE(Succeeded(CreateDatabase(BaseDirectory())));
    RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('during')"));
    EXPECT_TRUE(Succeeded(page.Commit()));
  }
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")), IsEmpty());
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('after')"));
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")), ElementsAre("after"));
}

// A transaction that reads before it writes (a check for names already
// stored, a search for repeats) must not be refused because another process
// wrote after its read: the other writer waits for it instead.
TEST_F(SharedBaseTest, AnotherProcessWritingMeanwhileWaitsForATransactionThatReadFirst) {
  DbTransaction page;
  ASSERT_TRUE(Succeeded(page.Begin()));
  QVariant found;
  ASSERT_TRUE(Succeeded(DbLookup(kContactTable, QStringLiteral("ours"), QStringLiteral("AName"),
                                 QStringLiteral("ID"), &found)));
  const auto other =
      StartSqlcipherShell(DataFile(), "INSERT INTO 地址表(AName) VALUES('theirs');\n");
  EXPECT_FALSE(other->waitForFinished(500)) << "the other process did not wait for the lock";
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('ours')"));
  ASSERT_TRUE(Succeeded(page.Commit()));
  ASSERT_TRUE(other->waitForFinished(10000));
  EXPECT_EQ(other->readAll(), QByteArray()) << "the other process's insert failed";
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")),
              ElementsAre("ours", "theirs"));
}

}  // namespace
}  // namespace quenlo

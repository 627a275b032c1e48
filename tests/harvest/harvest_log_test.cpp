// The harvest log: beside the record base, one line a run and one a failed
// page, kept small by its per-run cap and its rotation, and in the cache
// folder when the base's folder cannot be written.
#include "harvest/harvest_log.h"

#include "tests/support/temp_record_base.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace quenlo {
namespace {

HarvestTally FailedMembers(int count) {
  HarvestTally tally;
  tally.read = 7;
  for (int i = 0; i < count; ++i) {
    FailedPage page;
    page.member = QStringLiteral("m%1").arg(i);
    page.address = QStringLiteral("http://market.test/contact/m%1.html").arg(i);
    page.failure = pitrel::PageFailure{false, 404, std::nullopt, "HTTP 404"};
    page.note = QStringLiteral("permanent");
    tally.failed.push_back(page);
  }
  return tally;
}

QString Text(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

const QDateTime kAt(QDate(2026, 12, 7), QTime(21, 5, 0));

TEST(HarvestLogTest, ARunIsLoggedBesideTheBaseWithEachFailedPageAndWhy) {
  testing::TempRecordBase base;
  HarvestTally tally = FailedMembers(2);
  tally.storageFailure =
      QStringLiteral("results could not be stored in the record base (disk full)");
  const QString path = LogHarvest(QStringLiteral("contacts"), tally, kAt);
  EXPECT_EQ(path, QDir(base.Directory()).filePath(kHarvestLogName));
  EXPECT_EQ(Text(path),
            "2026-12-07 21:05:00 contacts: 7 read, 0 retried, 2 failed for good\n"
            "2026-12-07 21:05:00   member m0: HTTP 404, permanent "
            "<http://market.test/contact/m0.html>\n"
            "2026-12-07 21:05:00   member m1: HTTP 404, permanent "
            "<http://market.test/contact/m1.html>\n"
            "2026-12-07 21:05:00   stopped: results could not be stored in the record base "
            "(disk full)\n");
}

TEST(HarvestLogTest, ARunListsAtMostItsCapOfPagesAndAFullLogIsRotated) {
  testing::TempRecordBase base;
  const QString path = LogHarvest(QStringLiteral("profiles"), FailedMembers(1500), kAt);
  const QString text = Text(path);
  EXPECT_EQ(text.count('\n'), 1 + kHarvestLogPagesPerRun + 1);
  EXPECT_TRUE(text.endsWith("  and 500 more\n"));

  // Past its limit the log becomes .1 (replacing an older one) before the next run.
  while (QFileInfo(path).size() < kHarvestLogLimit)
    LogHarvest(QStringLiteral("profiles"), FailedMembers(1000), kAt);
  const QString full = Text(path);
  LogHarvest(QStringLiteral("members"), HarvestTally{}, kAt);
  EXPECT_EQ(Text(path + ".1"), full);
  EXPECT_EQ(Text(path), "2026-12-07 21:05:00 members: 0 read, 0 retried, 0 failed for good\n");
  EXPECT_LT(QFileInfo(path + ".1").size(), 2 * kHarvestLogLimit);
}

TEST(HarvestLogTest, WithoutAFolderForTheBaseTheLogGoesToTheCacheFolder) {
  testing::TempRecordBase base;
  QTemporaryDir cache;
  qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
  testing::PointDataDirectoryAt(QDir(base.Directory()).filePath("gone"));
  const QString path = LogHarvest(QStringLiteral("members"), FailedMembers(1), kAt);
  testing::PointDataDirectoryAt(base.Directory());
  qunsetenv("XDG_CACHE_HOME");
  EXPECT_EQ(path, QDir(cache.path()).filePath(QStringLiteral("quenlo/") + kHarvestLogName));
  EXPECT_TRUE(Text(path).contains("member m0: HTTP 404, permanent"));
}

}  // namespace
}  // namespace quenlo

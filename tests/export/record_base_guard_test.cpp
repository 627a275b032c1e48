// No export replaces the record base or its journal files, whatever name
// reaches it, from the command line or through the save dialog's path.
#include "export/record_base_guard.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include "export/export_cli.h"
#include "export/export_texts.h"
#include "export_test_support.h"
#include "store/database.h"
#include "tests/support/temp_record_base.h"

namespace quenlo {
namespace {

using testing::Answer;
using testing::ColumnValues;
using testing::GivenFileName;
using testing::RecordingMessenger;
using testing::RunSql;

class RecordBaseGuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(base_.Created());
    ASSERT_TRUE(other_.isValid());
    RunSql(QStringLiteral("INSERT INTO 地址表(AName, CName) VALUES('alice01', '甲公司')"));
    DbReleaseSharedConnection();  // the journal folds back; the base is one file at rest
    digest_ = Digest();
  }
  QString InBase(const QString& name) const { return QDir(base_.Directory()).filePath(name); }
  QString Elsewhere(const QString& name) const { return QDir(other_.path()).filePath(name); }
  QByteArray Digest() const {
    QFile file(base_.File());
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
  }
  // The base holds what it held and still opens as a record base.
  void ExpectBaseIntact() {
    EXPECT_EQ(Digest(), digest_);
    EXPECT_EQ(ColumnValues(kContactTable, QStringLiteral("AName")), QStringList{"alice01"});
  }

  testing::TempRecordBase base_;
  QTemporaryDir other_;
  QByteArray digest_;
};

TEST_F(RecordBaseGuardTest, TheBaseAndItsJournalsAreKnownByIdentityNotByName) {
  EXPECT_TRUE(IsRecordBaseFile(base_.File()));
  EXPECT_TRUE(IsRecordBaseFile(InBase("../" + QDir(base_.Directory()).dirName() + "/./DATA.mdb")));
  ASSERT_TRUE(QFile::link(base_.File(), Elsewhere("alias.xlsx")));
  EXPECT_TRUE(IsRecordBaseFile(Elsewhere("alias.xlsx")));
  ASSERT_EQ(::link(QFile::encodeName(base_.File()).constData(),
                   QFile::encodeName(Elsewhere("hard.csv")).constData()),
            0);
  EXPECT_TRUE(IsRecordBaseFile(Elsewhere("hard.csv")));
  // Journal files that are not there now: their names in the base's folder,
  // reached directly, through a linked folder or by a dangling link.
  EXPECT_TRUE(IsRecordBaseFile(InBase("DATA.mdb-journal")));
  EXPECT_TRUE(IsRecordBaseFile(InBase("DATA.mdb-wal")));
  ASSERT_TRUE(QFile::link(base_.Directory(), Elsewhere("data")));
  EXPECT_TRUE(IsRecordBaseFile(Elsewhere("data/DATA.mdb-shm")));
  ASSERT_TRUE(QFile::link(InBase("DATA.mdb-wal"), Elsewhere("dangling.csv")));
  EXPECT_TRUE(IsRecordBaseFile(Elsewhere("dangling.csv")));

  EXPECT_FALSE(IsRecordBaseFile(Elsewhere("DATA.mdb")));
  EXPECT_FALSE(IsRecordBaseFile(InBase("DATA.mdb.csv")));
  EXPECT_FALSE(IsRecordBaseFile(InBase("all.xlsx")));
}

TEST_F(RecordBaseGuardTest, TheCommandLineRefusesTheBaseEvenWhenForced) {
  ASSERT_TRUE(QFile::link(base_.File(), Elsewhere("alias.xlsx")));
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunExportCommand({"export", base_.File(), "--force"}), 1);
  EXPECT_EQ(RunExportCommand({"export", Elsewhere("alias.xlsx"), "--force"}), 1);
  EXPECT_EQ(RunExportCommand({"export", InBase("DATA.mdb-journal")}), 1);
  const QString said = QString::fromStdString(::testing::internal::GetCapturedStderr());
  EXPECT_EQ(said.count(QStringLiteral("record base")), 3) << said.toStdString();
  EXPECT_FALSE(said.contains(QStringLiteral("wrote")));
  ExpectBaseIntact();
  EXPECT_FALSE(QFile::exists(InBase("DATA.mdb-journal")));
  EXPECT_TRUE(QFileInfo(Elsewhere("alias.xlsx")).isSymLink());
}

TEST_F(RecordBaseGuardTest, TheDialogsPathRefusesTheBaseBeforeAskingToOverwrite) {
  RecordingMessenger messenger(Answer::Yes);
  GridModel grid;
  testing::FillAddressGrid(grid, {{"alice01", "甲公司"}});
  const QString filters[] = {QStringLiteral("MS Excel文件  (*.xls)"),
                             QStringLiteral("vCard (*.vcf)")};
  for (const QString& filter : filters) {
    GivenFileName dialog(base_.File(), filter);
    ExportRecords(grid, dialog, kContactTable, kAddressSheetTitle);
    ExportRecords(grid, dialog, QString(), kAddressSheetTitle);
  }
  GivenFileName journal(InBase("DATA.mdb-wal"));
  ExportRecords(grid, journal, QString(), kAddressSheetTitle);
  EXPECT_TRUE(messenger.questions.isEmpty());
  EXPECT_EQ(messenger.messages, QStringList(5, kRecordBaseTargetMessage));
  EXPECT_EQ(QDir(base_.Directory()).entryList(QDir::Files | QDir::Hidden),
            QStringList{"DATA.mdb"});  // no journal file made, no temporary file left
  ExpectBaseIntact();
}

}  // namespace
}  // namespace quenlo

// The export commands' dialogue: empty grid, cancel, overwrite question,
// choice of format by the name's ending, failures that leave no file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include "export/export_texts.h"
#include "export_test_support.h"

namespace quenlo {
namespace {

using testing::Answer;
using testing::FillAddressGrid;
using testing::GivenFileName;
using testing::RecordingMessenger;
using testing::RecordingProgress;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

bool IsZipArchive(const QByteArray& bytes) { return bytes.startsWith("PK\x03\x04"); }

class ExportRecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    FillAddressGrid(grid_, {{"alice01", "甲公司"}, {"bob02", "乙公司"}});
  }
  QString PathOf(const QString& name) const { return dir_.filePath(name); }
  // Runs the shown-rows export with the dialog answering name.
  void ExportShown(const QString& name) {
    GivenFileName dialog(name);
    ExportRecords(grid_, dialog, QString(), kAddressSheetTitle);
  }
  QStringList Entries() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

  QTemporaryDir dir_;
  GridModel grid_;
  RecordingMessenger messenger_;
  RecordingProgress progress_;
};

TEST_F(ExportRecordsTest, EmptyGridSaysSoWithoutADialog) {
  GridModel empty;
  empty.SetRows(0);
  GivenFileName dialog(PathOf("out.csv"));
  ExportRecords(empty, dialog, QString(), kAddressSheetTitle);
  EXPECT_EQ(dialog.asked, 0);
  EXPECT_EQ(messenger_.messages, QStringList{kNoDataMessage});
  EXPECT_TRUE(Entries().isEmpty());
}

TEST_F(ExportRecordsTest, DialogOffersCsvThenWorkbooksAndCancelDoesNothing) {
  GivenFileName dialog{QString()};
  ExportRecords(grid_, dialog, QString(), kAddressSheetTitle);
  EXPECT_EQ(dialog.asked, 1);
  ASSERT_EQ(dialog.filters.size(), 3);
  EXPECT_EQ(dialog.filters[0], QStringLiteral("CSV (逗号分隔)(*.csv)"));
  EXPECT_EQ(dialog.filters[1], QStringLiteral("MS Excel文件  (*.xls)"));
  EXPECT_TRUE(dialog.filters[2].endsWith(QStringLiteral("(*.xlsx)")));
  EXPECT_TRUE(messenger_.messages.isEmpty());
  EXPECT_TRUE(messenger_.questions.isEmpty());
  EXPECT_TRUE(Entries().isEmpty());
}

TEST_F(ExportRecordsTest, TheEndingChoosesTheFormatWhateverItsCase) {
  ExportShown(PathOf("upper.CSV"));
  ExportShown(PathOf("plain.txt"));
  ExportShown(PathOf("classic.xls"));
  ExportShown(PathOf("noending"));
  const QString csv = QStringDecoder("GB18030").decode(ReadAll(PathOf("upper.CSV")));
  EXPECT_TRUE(csv.startsWith(QStringLiteral("序号,会员编号,")));
  EXPECT_TRUE(csv.endsWith(QStringLiteral("2,bob02,乙公司,,,,,,,,,\r\n")));
  EXPECT_TRUE(IsZipArchive(ReadAll(PathOf("plain.txt"))));
  EXPECT_TRUE(IsZipArchive(ReadAll(PathOf("classic.xls"))));
  EXPECT_TRUE(IsZipArchive(ReadAll(PathOf("noending"))));
  EXPECT_TRUE(messenger_.messages.isEmpty());
  EXPECT_EQ(Entries().size(), 4);  // no temporary files left behind
}

TEST_F(ExportRecordsTest, NoAtTheOverwriteQuestionLeavesTheFileUntouched) {
  WriteAll(PathOf("old.csv"), "keep me\r\n");
  messenger_.answer = Answer::No;
  ExportShown(PathOf("old.csv"));
  EXPECT_EQ(messenger_.questions, QStringList{kOverwriteQuestion});
  EXPECT_EQ(ReadAll(PathOf("old.csv")), QByteArray("keep me\r\n"));
}

TEST_F(ExportRecordsTest, YesAtTheOverwriteQuestionReplacesTheFile) {
  WriteAll(PathOf("old.xlsx"), "not a workbook");
  messenger_.answer = Answer::Yes;
  ExportShown(PathOf("old.xlsx"));
  EXPECT_EQ(messenger_.questions, QStringList{kOverwriteQuestion});
  EXPECT_TRUE(IsZipArchive(ReadAll(PathOf("old.xlsx"))));
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

TEST_F(ExportRecordsTest, ANameThatCannotBeReplacedIsReported) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("taken.csv")));
  messenger_.answer = Answer::Yes;
  ExportShown(PathOf("taken.csv"));
  EXPECT_EQ(messenger_.messages, QStringList{kCannotOverwriteMessage});
  EXPECT_TRUE(QFileInfo(PathOf("taken.csv")).isDir());
}

TEST_F(ExportRecordsTest, AnUnwritableTargetSaysSoAndLeavesNoFile) {
  for (const QString& name : {QStringLiteral("out.csv"), QStringLiteral("out.xls")}) {
    messenger_.messages.clear();
    ExportShown(PathOf(QStringLiteral("missing/") + name));
    ASSERT_EQ(messenger_.messages.size(), 1) << name.toStdString();
    EXPECT_EQ(messenger_.messages[0], kSaveFailedMessage + "\r\nNo such file or directory")
        << name.toStdString();
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("missing/") + name)));
    EXPECT_FALSE(progress_.open);
  }
  EXPECT_TRUE(Entries().isEmpty());
}

}  // namespace
}  // namespace quenlo

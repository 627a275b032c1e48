// The export commands' dialogue: empty grid, cancel, overwrite question,
// choice of format by the name's ending, failures that leave no file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include "export/csv_encoding.h"
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
  // Runs the shown-rows export with the dialog answering name (under filter).
  void ExportShown(const QString& name, const QString& filter = {}) {
    GivenFileName dialog(name, filter);
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

TEST_F(ExportRecordsTest, DialogOffersEveryFormatOpensOnTheStoredCsvAndCancelDoesNothing) {
  GivenFileName dialog{QString()};
  ExportRecords(grid_, dialog, QString(), kAddressSheetTitle);
  EXPECT_EQ(dialog.asked, 1);
  EXPECT_EQ(dialog.filters,
            QStringList({"CSV (逗号分隔)(*.csv)", "MS Excel文件  (*.xls)", "Excel 工作簿 (*.xlsx)",
                         "CSV UTF-8 (逗号分隔)(*.csv)", "vCard (*.vcf)"}));
  EXPECT_EQ(dialog.selected, dialog.filters[0]);
  ASSERT_TRUE(StoreCsvEncoding(CsvEncoding::kUtf8WithMark));
  ExportRecords(grid_, dialog, QString(), kAddressSheetTitle);
  EXPECT_EQ(dialog.selected, dialog.filters[3]);
  ASSERT_TRUE(StoreCsvEncoding(CsvEncoding::kGb18030));
  EXPECT_TRUE(messenger_.messages.isEmpty());
  EXPECT_TRUE(messenger_.questions.isEmpty());
  EXPECT_TRUE(Entries().isEmpty());
}

// A name without an ending gets the chosen filter's; a name with one of the
// exports' own endings keeps its format; any other ending follows the filter.
TEST_F(ExportRecordsTest, TheChosenFilterCompletesTheNameAndTheEndingChoosesTheFormat) {
  const QString csv = QStringLiteral("CSV (逗号分隔)(*.csv)");
  const QString xls = QStringLiteral("MS Excel文件  (*.xls)");
  ExportShown(PathOf("report"), csv);
  ExportShown(PathOf("book"), xls);
  ExportShown(PathOf("cards."), QStringLiteral("vCard (*.vcf)"));
  ExportShown(PathOf("upper.CSV"), xls);
  ExportShown(PathOf("classic.xls"), csv);
  ExportShown(PathOf("plain.txt"), csv);
  EXPECT_EQ(Entries(), QStringList({"book.xls", "cards.vcf", "classic.xls", "plain.txt",
                                    "report.csv", "upper.CSV"}));
  const QString report = QStringDecoder("GB18030").decode(ReadAll(PathOf("report.csv")));
  EXPECT_TRUE(report.startsWith(QStringLiteral("序号,会员编号,")));
  EXPECT_TRUE(report.endsWith(QStringLiteral("2,bob02,乙公司,,,,,,,,,\r\n")));
  EXPECT_TRUE(IsZipArchive(ReadAll(PathOf("book.xls"))));
  EXPECT_TRUE(ReadAll(PathOf("cards.vcf")).startsWith("BEGIN:VCARD\r\n"));
  EXPECT_EQ(ReadAll(PathOf("upper.CSV")), ReadAll(PathOf("report.csv")));
  EXPECT_TRUE(IsZipArchive(ReadAll(PathOf("classic.xls"))));
  EXPECT_EQ(ReadAll(PathOf("plain.txt")), ReadAll(PathOf("report.csv")));
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

TEST_F(ExportRecordsTest, ACsvFilterChosenIsRememberedAsTheEncoding) {
  ExportShown(PathOf("utf"), QStringLiteral("CSV UTF-8 (逗号分隔)(*.csv)"));
  EXPECT_TRUE(ReadAll(PathOf("utf.csv")).startsWith("\xEF\xBB\xBF序号,"));
  EXPECT_EQ(StoredCsvEncoding(), CsvEncoding::kUtf8WithMark);
  // A CSV name typed under a workbook filter is written in the stored encoding.
  ExportShown(PathOf("typed.csv"), QStringLiteral("Excel 工作簿 (*.xlsx)"));
  EXPECT_EQ(ReadAll(PathOf("typed.csv")), ReadAll(PathOf("utf.csv")));
  ExportShown(PathOf("gb"), QStringLiteral("CSV (逗号分隔)(*.csv)"));
  EXPECT_EQ(StoredCsvEncoding(), CsvEncoding::kGb18030);
  EXPECT_TRUE(
      ReadAll(PathOf("gb.csv")).startsWith(QByteArray(QStringEncoder("GB18030").encode(u"序号,"))));
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

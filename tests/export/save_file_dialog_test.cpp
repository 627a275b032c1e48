// The export commands through the real save dialog (Qt's own, on the
// offscreen platform), driven as a user would: choose a filter, type a name.
#include "export/save_file_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTimer>

#include "export/csv_encoding.h"
#include "export/export_texts.h"
#include "export_test_support.h"
#include "tests/support/temp_record_base.h"

namespace quenlo {
namespace {

using testing::RecordingMessenger;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the next save dialog: filter chosen, name typed, Save pressed.
// Hands back the filter the dialog had chosen when it opened.
void AnswerNextDialog(const QString& filter, const QString& typedName, QString* openedWith) {
  QTimer::singleShot(0, [=] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    *openedWith = dialog->selectedNameFilter();
    dialog->selectNameFilter(filter.simplified());  // as the dialog lists it
    dialog->selectFile(typedName);
    static_cast<QDialog*>(dialog)->accept();  // the file dialog's own accept is protected
  });
}

class SaveFileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(base_.Created());
    testing::FillAddressGrid(grid_, {{"alice01", "甲公司", "李娜", "13812345678"}});
  }
  // The shown-rows export with the dialog answered; the filter it opened with.
  QString ExportThroughDialog(const QString& filter, const QString& typedName) {
    QString openedWith;
    AnswerNextDialog(filter, typedName, &openedWith);
    SaveFileDialog dialog(nullptr);
    ExportRecords(grid_, dialog, QString(), kAddressSheetTitle);
    return openedWith;
  }
  QString PathOf(const QString& name) const { return base_.Directory() + u'/' + name; }

  testing::TempRecordBase base_;
  GridModel grid_;
  RecordingMessenger messenger_;
};

TEST_F(SaveFileDialogTest, ANameTypedWithoutAnEndingGetsTheChosenFiltersEndingAndContent) {
  StoreCsvEncoding(CsvEncoding::kGb18030);
  EXPECT_EQ(ExportThroughDialog(QStringLiteral("CSV (逗号分隔)(*.csv)"), PathOf("report")),
            QStringLiteral("CSV (逗号分隔)(*.csv)"));
  EXPECT_FALSE(QFile::exists(PathOf("report")));
  EXPECT_TRUE(QString(QStringDecoder("GB18030").decode(ReadAll(PathOf("report.csv"))))
                  .startsWith(QStringLiteral("序号,会员编号,")));

  ExportThroughDialog(QStringLiteral("vCard (*.vcf)"), PathOf("cards"));
  EXPECT_TRUE(ReadAll(PathOf("cards.vcf")).startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\n"));

  ExportThroughDialog(QStringLiteral("Excel 工作簿 (*.xlsx)"), PathOf("book"));
  EXPECT_TRUE(ReadAll(PathOf("book.xlsx")).startsWith("PK\x03\x04"));

  // The UTF-8 choice writes the mark and is what the dialog opens with next time.
  ExportThroughDialog(QStringLiteral("CSV UTF-8 (逗号分隔)(*.csv)"), PathOf("utf"));
  EXPECT_TRUE(ReadAll(PathOf("utf.csv")).startsWith("\xEF\xBB\xBF序号,会员编号,"));
  EXPECT_EQ(StoredCsvEncoding(), CsvEncoding::kUtf8WithMark);
  EXPECT_EQ(ExportThroughDialog(QStringLiteral("MS Excel文件  (*.xls)"), PathOf("classic")),
            QStringLiteral("CSV UTF-8 (逗号分隔)(*.csv)"));
  EXPECT_TRUE(ReadAll(PathOf("classic.xls")).startsWith("PK\x03\x04"));
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

TEST_F(SaveFileDialogTest, TheRecordBaseChosenInTheDialogIsRefused) {
  const QByteArray before = ReadAll(base_.File());
  ExportThroughDialog(QStringLiteral("MS Excel文件  (*.xls)"), base_.File());
  EXPECT_EQ(messenger_.messages, QStringList{kRecordBaseTargetMessage});
  EXPECT_TRUE(messenger_.questions.isEmpty());
  EXPECT_EQ(ReadAll(base_.File()), before);
}

}  // namespace
}  // namespace quenlo

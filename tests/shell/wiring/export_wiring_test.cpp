// The export commands of the main window, driven through the real save
// dialog on the offscreen platform.
#include "shell/wiring/export_wiring.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTimer>

#include "browser/profile_list.h"
#include "shell/main_window.h"
#include "tests/browser/browser_test_support.h"
#include "tests/export/export_test_support.h"
#include "tests/export/workbook_test_support.h"

namespace quenlo {
namespace {

using testing::FillAddressGrid;
using testing::RecordingMessenger;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the next save dialog with fileName (empty: cancel) and notes what it offered.
struct DialogAnswer {
  explicit DialogAnswer(QString name = {}) : fileName(std::move(name)) {}
  QString fileName;
  QStringList offeredFilters;
  QString offeredDirectory;
  bool seen = false;

  void ArmFor(QApplication&) {
    QTimer::singleShot(0, [this] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      seen = true;
      offeredFilters = dialog->nameFilters();
      offeredDirectory = dialog->directory().absolutePath();
      if (fileName.isEmpty()) return dialog->reject();
      dialog->selectFile(fileName);
      static_cast<QDialog*>(dialog)->accept();  // the file dialog's own accept is protected
    });
  }
};

class ExportWiringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    WireExports(window_);
    FillAddressGrid(window_.RecordGrid(), {{"alice01", "甲,公司"}});
  }
  QTemporaryDir dir_;
  MainWindow window_;
  RecordingMessenger messenger_;
};

TEST_F(ExportWiringTest, ShownRecordsGoWhereTheDialogSaysUnderTheChosenFiltersEnding) {
  DialogAnswer answer(dir_.filePath(QStringLiteral("typed-without-ending")));
  answer.ArmFor(*qApp);
  window_.RunCommand(Command::ExportShownRecords);
  ASSERT_TRUE(answer.seen);
  ASSERT_EQ(answer.offeredFilters.size(), 5);
  EXPECT_EQ(answer.offeredFilters[0], QStringLiteral("CSV (逗号分隔)(*.csv)"));
  EXPECT_EQ(answer.offeredFilters[4], QStringLiteral("vCard (*.vcf)"));
  // The dialog opens on the CSV filter: the name gets its ending and CSV content.
  EXPECT_FALSE(QFile::exists(answer.fileName));
  const QString typed =
      QStringDecoder("GB18030").decode(ReadAll(answer.fileName + QStringLiteral(".csv")));
  EXPECT_TRUE(typed.endsWith(QStringLiteral("1,alice01,\"甲,公司\",,,,,,,,,\r\n")));

  DialogAnswer csv(dir_.filePath(QStringLiteral("shown.csv")));
  csv.ArmFor(*qApp);
  window_.RunCommand(Command::ExportShownRecords);
  const QString text = QStringDecoder("GB18030").decode(ReadAll(csv.fileName));
  EXPECT_TRUE(text.endsWith(QStringLiteral("1,alice01,\"甲,公司\",,,,,,,,,\r\n")))
      << text.toStdString();
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

TEST_F(ExportWiringTest, CancellingTheDialogWritesNothing) {
  DialogAnswer cancel;
  cancel.ArmFor(*qApp);
  window_.RunCommand(Command::ExportAllRecords);
  EXPECT_TRUE(cancel.seen);
  EXPECT_TRUE(messenger_.messages.isEmpty());
  EXPECT_TRUE(QDir(dir_.path()).isEmpty());
}

// The window program works in a hidden work directory: the dialog must not
// open there, and it comes back to the folder of the last export.
TEST_F(ExportWiringTest, DialogOpensAwayFromTheWorkDirectoryThenWhereTheLastExportWent) {
  QTemporaryDir work;
  const QString previous = QDir::currentPath();
  QDir::setCurrent(work.path());
  DialogAnswer first;
  first.ArmFor(*qApp);
  window_.RunCommand(Command::ExportAllRecords);
  ASSERT_TRUE(first.seen);
  EXPECT_NE(first.offeredDirectory, QDir(work.path()).absolutePath());

  DialogAnswer save(dir_.filePath(QStringLiteral("all.csv")));
  save.ArmFor(*qApp);
  window_.RunCommand(Command::ExportShownRecords);
  DialogAnswer again;
  again.ArmFor(*qApp);
  window_.RunCommand(Command::ExportAllRecords);
  EXPECT_EQ(again.offeredDirectory, QDir(dir_.path()).absolutePath());
  QDir::setCurrent(previous);
}

// The profile tab exports through the same exports: its shown rows under
// their captions on a sheet named for the profiles, its whole table as CSV.
TEST(ProfileExportWiring, TheProfileGridAndTableExportUnderTheirOwnNames) {
  QTemporaryDir dir;
  testing::TempDatabase database;
  testing::TempDatabase::AddProfile("p1", "一家公司");
  testing::TempDatabase::AddProfile("p2", "另一家, \"好\"公司");
  MainWindow window;
  WireExports(window);
  RecordingMessenger messenger;
  testing::RecordingProgress progress;
  CharCountMeasure measure;
  RefreshRecordList(ProfileList(), window.ProfileGrid(), "01:会员编号", "p1", measure);

  DialogAnswer shown(dir.filePath(QStringLiteral("shown.xlsx")));
  shown.ArmFor(*qApp);
  window.RunCommand(Command::ExportShownProfiles);
  const QJsonObject book = testing::ReadWorkbook(shown.fileName);
  EXPECT_EQ(book["sheets"].toArray().first().toString(), "阿里巴巴会员企业介绍");
  EXPECT_EQ(testing::Cell(book, "B1")["value"].toString(), "会员编号");
  EXPECT_EQ(testing::Cell(book, "O1")["value"].toString(), "公司介绍");
  EXPECT_EQ(testing::Cell(book, "O2")["value"].toString(), "一家公司");
  EXPECT_EQ(book["max_row"].toInt(), 2);

  DialogAnswer all(dir.filePath(QStringLiteral("all.csv")));
  all.ArmFor(*qApp);
  window.RunCommand(Command::ExportAllProfiles);
  QStringDecoder gb18030("GB18030");
  const QString text = gb18030.decode(ReadAll(all.fileName));
  const QStringList lines = text.split(QStringLiteral("\r\n"));
  ASSERT_GE(lines.size(), 3);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("会员编号,会员评价,工商注册信息,")));
  EXPECT_TRUE(lines[2].startsWith(QStringLiteral("p2,"))) << lines[2].toStdString();
  EXPECT_TRUE(lines[2].endsWith(QStringLiteral(",\"另一家, \"\"好\"\"公司\",")));
  EXPECT_TRUE(messenger.messages.isEmpty());
}

}  // namespace
}  // namespace quenlo

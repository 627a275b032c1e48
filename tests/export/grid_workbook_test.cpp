// The workbook of the grid export, read back with a real spreadsheet reader.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QJsonArray>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <utility>

#include "export/column_letter.h"
#include "export/export_texts.h"
#include "export/grid_export.h"
#include "export_test_support.h"
#include "workbook_test_support.h"

namespace quenlo {
namespace {

using testing::Cell;
using testing::FillAddressGrid;
using testing::ReadWorkbook;
using testing::RecordingMessenger;
using testing::RecordingProgress;

TEST(ColumnLetter, OneAndTwoLetterColumns) {
  EXPECT_EQ(ColumnLetter(1), QStringLiteral("A"));
  EXPECT_EQ(ColumnLetter(12), QStringLiteral("L"));
  EXPECT_EQ(ColumnLetter(26), QStringLiteral("Z"));
  EXPECT_EQ(ColumnLetter(27), QStringLiteral("AA"));
  EXPECT_EQ(ColumnLetter(52), QStringLiteral("AZ"));
  EXPECT_EQ(ColumnLetter(53), QStringLiteral("BA"));
  EXPECT_EQ(ColumnLetter(702), QStringLiteral("ZZ"));
  EXPECT_EQ(ColumnLetter(0), QString());
  EXPECT_EQ(ColumnLetter(703), QString());
}

TEST(SheetColumnWidth, TwipsDividedBy123RoundedDown) {
  EXPECT_EQ(SheetColumnWidth(1230), 10);
  EXPECT_EQ(SheetColumnWidth(1352), 10);
  EXPECT_EQ(SheetColumnWidth(1353), 11);
}

class GridWorkbookTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QTemporaryDir dir_;
  RecordingMessenger messenger_;
  RecordingProgress progress_;
};

TEST_F(GridWorkbookTest, CaptionRowIsFilledBoldAndEveryUsedCellBordered) {
  GridModel grid;
  FillAddressGrid(grid, {{"alice01", "大华,有限公司", "", "13800138000"}, {"bob02"}});
  grid.SetColWidth(2, 1230);
  grid.SetColWidth(7, 0);  // 性别 hidden: 职务 moves up to column H
  const QString path = dir_.filePath(QStringLiteral("grid.xls"));
  ASSERT_TRUE(ExportGridToExcel(grid, path, kAddressSheetTitle));

  const QJsonObject book = ReadWorkbook(path);
  ASSERT_FALSE(book.contains(QStringLiteral("error"))) << book["error"].toString().toStdString();
  EXPECT_EQ(book["sheets"].toArray(), QJsonArray({kAddressSheetTitle}));
  EXPECT_EQ(book["max_row"].toInt(), 3);
  EXPECT_EQ(book["max_column"].toInt(), 11);

  const QJsonObject caption = Cell(book, "B1");
  EXPECT_EQ(caption["value"].toString(), QStringLiteral("会员编号"));
  EXPECT_TRUE(caption["bold"].toBool());
  EXPECT_EQ(caption["fill"].toString(), QStringLiteral("FFFFC080"));
  EXPECT_EQ(Cell(book, "G1")["value"].toString(), QStringLiteral("传真"));
  EXPECT_EQ(Cell(book, "H1")["value"].toString(), QStringLiteral("职务"));
  EXPECT_EQ(Cell(book, "K1")["value"].toString(), QStringLiteral("网址"));

  const QJsonObject phone = Cell(book, "E2");
  EXPECT_EQ(phone["value"].toString(), QStringLiteral("13800138000"));  // text, not a number
  EXPECT_EQ(phone["type"].toString(), QStringLiteral("s"));
  EXPECT_FALSE(phone["bold"].toBool());
  EXPECT_TRUE(phone["fill"].isNull());
  EXPECT_EQ(Cell(book, "A3")["value"].toString(), QStringLiteral("2"));
  EXPECT_EQ(Cell(book, "C2")["value"].toString(), QStringLiteral("大华,有限公司"));

  const QJsonObject empty = Cell(book, "K3");  // no value, only its borders
  EXPECT_TRUE(empty["value"].isNull());
  for (const QString& corner : {QStringLiteral("A1"), QStringLiteral("K3"), QStringLiteral("D2")}) {
    EXPECT_EQ(Cell(book, corner)["borders"].toArray(), QJsonArray({"thin", "thin", "thin", "thin"}))
        << corner.toStdString();
  }

  // Widths read back with the format's padding of 0.71.
  const QJsonObject widths = book["widths"].toObject();
  EXPECT_NEAR(widths["C"].toDouble(), 10.71, 0.01);
  EXPECT_NEAR(widths["A"].toDouble(), 7.71, 0.01);  // 960 twips
  EXPECT_TRUE(messenger_.messages.isEmpty());
  EXPECT_EQ(progress_.caption, kWorkbookProgressCaption);
  EXPECT_EQ(progress_.position, progress_.total);
  EXPECT_FALSE(progress_.open);
}

// A sorted grid: the captions lose their marks in both files; cells a
// spreadsheet would run as formulas stay plain text in the workbook.
TEST_F(GridWorkbookTest, SortMarksNeverReachTheFilesAndFormulaTextStaysText) {
  GridModel grid;
  const QString hostile = QStringLiteral("=HYPERLINK(\"http://evil.test\",\"点击\")");
  FillAddressGrid(grid, {{"zed09", hostile, "@SUM(1)", "-2+3", "+86 571 8888 1234"},
                         {"amy01", "乙公司"}});
  GridSortByColumn(grid, 1);
  GridSortByColumn(grid, 2);
  ASSERT_TRUE(grid.TextMatrix(1, 2).endsWith(kSortMarkUp) ||
              grid.TextMatrix(1, 2).endsWith(kSortMarkDown));
  const QString path = dir_.filePath(QStringLiteral("sorted.xlsx"));
  ASSERT_TRUE(ExportGridToExcel(grid, path, kAddressSheetTitle));
  const QJsonObject book = ReadWorkbook(path);
  ASSERT_FALSE(book.contains(QStringLiteral("error"))) << book["error"].toString().toStdString();
  for (const char* caption : {"B1", "C1"}) {
    EXPECT_FALSE(Cell(book, caption)["value"].toString().contains(kSortMarkUp)) << caption;
    EXPECT_FALSE(Cell(book, caption)["value"].toString().contains(kSortMarkDown)) << caption;
  }
  EXPECT_EQ(Cell(book, "C1")["value"].toString(), QStringLiteral("公司名称"));
  const int hostileRow = grid.TextMatrix(2, 1) == u"zed09" ? 2 : 3;
  for (const auto& [column, text] : {std::pair{"C", hostile}, std::pair{"D", QStringLiteral("@SUM(1)")},
                                     std::pair{"E", QStringLiteral("-2+3")}}) {
    const QJsonObject cell = Cell(book, column + QString::number(hostileRow));
    EXPECT_EQ(cell["type"].toString(), QStringLiteral("s")) << column;
    EXPECT_EQ(cell["value"].toString(), text) << column;
  }

  QBuffer csv;
  csv.open(QIODevice::WriteOnly);
  ASSERT_TRUE(WriteGridCsv(grid, csv));
  EXPECT_TRUE(QString(QStringDecoder("GB18030").decode(csv.data())).startsWith(
      QStringLiteral("序号,会员编号,公司名称,联系人,手机,")));
}

TEST_F(GridWorkbookTest, HeaderOnlyGridGivesTheCaptionRowAlone) {
  GridModel grid;
  FillAddressGrid(grid, {});
  const QString path = dir_.filePath(QStringLiteral("captions.xlsx"));
  ASSERT_TRUE(ExportGridToExcel(grid, path, kAddressSheetTitle));
  const QJsonObject book = ReadWorkbook(path);
  EXPECT_EQ(book["max_row"].toInt(), 1);
  EXPECT_EQ(Cell(book, "A1")["value"].toString(), QStringLiteral("序号"));
  EXPECT_EQ(Cell(book, "L1")["value"].toString(), QStringLiteral("网址"));
}

}  // namespace
}  // namespace quenlo

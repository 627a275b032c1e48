// The grid operations on a model alone (no database, no window).
#include "browser/grid_operations.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "browser_test_support.h"

namespace quenlo {
namespace {

using testing::Answer;
using ::testing::ElementsAre;
using testing::RecordingMessenger;

// A grid in the address list's shape (two header rows, one fixed column)
// with one data row per text, the text in column 2 and its index in column 1.
GridModel GridWithColumnTexts(const QStringList& texts) {
  GridModel grid;
  GridSetupColumns(grid, {"", "AName", "CName"}, {"序号", "会员编号", "公司名称"});
  grid.SetFixedCols(1);
  for (int i = 0; i < texts.size(); ++i) {
    grid.SetRows(grid.Rows() + 1);
    grid.SetTextMatrix(grid.Rows() - 1, 1, QString::number(i));
    grid.SetTextMatrix(grid.Rows() - 1, 2, texts[i]);
  }
  GridRenumberRows(grid);
  return grid;
}

std::vector<QString> ColumnTexts(const GridModel& grid, int col) {
  std::vector<QString> texts;
  for (int r = grid.FixedRows(); r < grid.Rows(); ++r) texts.push_back(grid.TextMatrix(r, col));
  return texts;
}

// x, y in twips of the middle of column col's caption.
float CaptionX(const GridModel& grid, int col) {
  return static_cast<float>(GridCellLeft(grid, col) + grid.ColWidth(col) / 2);
}
float CaptionY(const GridModel& grid) { return static_cast<float>(grid.RowHeight(0) + 10); }

TEST(GridRowCap, KeepsOneFillNearThreeHundredFiftyThousandCells) {
  EXPECT_EQ(GridRowCap(12), 29164);
  // 350000 - 0.5 is a half: it goes to the even neighbour 350000.
  EXPECT_EQ(GridRowCap(1), 349998);
  EXPECT_EQ(GridRowCap(0), 0);
}

TEST(GridSetupColumns, BuildsTheTwoHeaderRowsOrChangesNothingForUnequalLists) {
  GridModel grid;
  GridSetupColumns(grid, {"", "AName"}, {"序号"});
  EXPECT_EQ(grid.Cols(), 2);
  EXPECT_EQ(grid.TextMatrix(1, 0), "");

  GridSetupColumns(grid, {"", "AName", "CName"}, {"序号", "会员编号", "公司名称"});
  EXPECT_EQ(grid.Rows(), 2);
  EXPECT_EQ(grid.Cols(), 3);
  EXPECT_EQ(grid.FixedRows(), 2);
  EXPECT_EQ(grid.RowHeight(0), 0);
  EXPECT_EQ(grid.TextMatrix(0, 2), "CName");
  EXPECT_EQ(grid.TextMatrix(1, 2), "公司名称");
  EXPECT_EQ(grid.ColAlignment(1), 2);
  EXPECT_EQ(GridDataRowCount(grid), 0);
}

TEST(GridHeaderClick, SortsATextColumnZToAThenAToZWithItsMark) {
  GridModel grid = GridWithColumnTexts({"北京", "上海", "安徽", "广州"});
  grid.SetCellBackColor(3, 2, 255);  // 上海's cell
  GridAutoFitColumns(CharCountMeasure(), grid, 2, false);

  GridHeaderClick(CharCountMeasure(), grid, CaptionX(grid, 2), CaptionY(grid));
  // Han characters sort by their reading: an, bei, guang, shang.
  EXPECT_THAT(ColumnTexts(grid, 2), ElementsAre("上海", "广州", "北京", "安徽"));
  EXPECT_EQ(grid.TextMatrix(1, 2), "公司名称△");
  // Whole rows move: the member and the colour stay with their company.
  EXPECT_THAT(ColumnTexts(grid, 1), ElementsAre("1", "3", "0", "2"));
  EXPECT_EQ(grid.CellBackColor(2, 2), 255u);
  EXPECT_THAT(ColumnTexts(grid, 0), ElementsAre("1", "2", "3", "4"));

  GridHeaderClick(CharCountMeasure(), grid, CaptionX(grid, 2), CaptionY(grid));
  EXPECT_THAT(ColumnTexts(grid, 2), ElementsAre("安徽", "北京", "广州", "上海"));
  EXPECT_EQ(grid.TextMatrix(1, 2), "公司名称▽");

  // Sorting another column takes the mark off the first.
  GridHeaderClick(CharCountMeasure(), grid, CaptionX(grid, 1), CaptionY(grid));
  EXPECT_EQ(grid.TextMatrix(1, 2), "公司名称");
  EXPECT_EQ(grid.TextMatrix(1, 1), "会员编号△");
}

TEST(GridHeaderClick, IgnoresPressesBelowTheHeaderAndRightOfTheColumns) {
  GridModel grid = GridWithColumnTexts({"b", "a", "c"});
  GridHeaderClick(CharCountMeasure(), grid, CaptionX(grid, 2), grid.RowHeight(1) + 5.0f);
  GridHeaderClick(CharCountMeasure(), grid, 1e6f, CaptionY(grid));
  EXPECT_THAT(ColumnTexts(grid, 2), ElementsAre("b", "a", "c"));
  EXPECT_EQ(grid.TextMatrix(1, 2), "公司名称");
}

TEST(GridHeaderClick, FitsTheWidthsOnTheTopLeftCell) {
  GridModel grid = GridWithColumnTexts({"a", "b"});
  grid.SetColWidth(1, 5000);
  GridHeaderClick(CharCountMeasure(), grid, 10, CaptionY(grid));
  EXPECT_EQ(grid.ColWidth(1), 4 * 120 * 2 + 100);  // the caption "会员编号" is the widest
}

TEST(GridSortByColumn, SortsNumericColumnsByValueAscendingFirst) {
  GridModel grid = GridWithColumnTexts({"9", "10", "x", "2.5"});
  grid.SetColAlignment(2, 4);
  GridSortByColumn(grid, 2);
  EXPECT_THAT(ColumnTexts(grid, 2), ElementsAre("x", "2.5", "9", "10"));
  EXPECT_EQ(grid.TextMatrix(1, 2), "公司名称△");
  GridSortByColumn(grid, 2);
  EXPECT_THAT(ColumnTexts(grid, 2), ElementsAre("10", "9", "2.5", "x"));
  EXPECT_EQ(grid.TextMatrix(1, 2), "公司名称▽");
}

TEST(GridDeleteRows, RemovesRowsGivenInReverseAfterAskingAndKeepsNumbersGapless) {
  RecordingMessenger messenger;
  GridModel grid = GridWithColumnTexts({"a", "b", "c", "d", "e", "f"});
  int first = 5;
  int last = 3;

  messenger.answer = Answer::No;
  GridDeleteRows(grid, first, last, true);
  EXPECT_EQ(GridDataRowCount(grid), 6);

  messenger.answer = Answer::Yes;
  first = 5;
  last = 3;
  GridDeleteRows(grid, first, last, true);
  EXPECT_EQ(messenger.questions.back(), "您确定要删除第2至第4行？");
  EXPECT_EQ(first, 3);
  EXPECT_EQ(last, 5);
  EXPECT_THAT(ColumnTexts(grid, 2), ElementsAre("a", "e", "f"));
  EXPECT_THAT(ColumnTexts(grid, 0), ElementsAre("1", "2", "3"));
}

TEST(GridDeleteRows, ClampsToTheDataRowsAndDoesNothingOnAnEmptyGrid) {
  RecordingMessenger messenger;
  GridModel grid = GridWithColumnTexts({"a", "b", "c"});
  int first = 0;
  int last = 99;
  GridDeleteRows(grid, first, last, false);
  EXPECT_EQ(GridDataRowCount(grid), 0);
  EXPECT_EQ(grid.TextMatrix(1, 2), "公司名称");  // header rows untouched

  GridDeleteRows(grid, first, last, true);
  EXPECT_TRUE(messenger.questions.isEmpty());
}

TEST(GridAutoFitColumns, FitsAnEmptyGridToItsHeaderRowsWithinHalfTheWidth) {
  GridModel grid = GridWithColumnTexts({});
  grid.SetWidth(20000);
  grid.SetTextMatrix(1, 1, QString(100, QChar(u'长')));
  GridAutoFitColumns(CharCountMeasure(), grid, 2, true);
  EXPECT_EQ(grid.ColWidth(0), 2 * 240 + 100);  // 序号 beats the empty field name
  EXPECT_EQ(grid.ColWidth(1), 10000);          // half the grid
  // 公司名称 beats CName; the last column then takes the room left but 400.
  EXPECT_EQ(grid.ColWidth(2), 20000 - 400 - 580 - 10000);
}

TEST(GridAutoFitColumns, GivesEmptyColumnsMinimalWidthAndTheLastColumnTheRoom) {
  testing::RecordingProgress progress;
  GridModel grid = GridWithColumnTexts(QStringList(250, QString()));
  grid.SetTextMatrix(2, 1, "abc");
  grid.SetWidth(9000);
  GridAutoFitColumns(CharCountMeasure(), grid, 2, true);
  EXPECT_EQ(grid.ColWidth(1), 4 * 240 + 100);  // the caption counts once there is data
  // The empty last column takes what is left of the width less 400.
  EXPECT_EQ(grid.ColWidth(2), 9000 - 400 - grid.ColWidth(0) - grid.ColWidth(1));
  ASSERT_EQ(progress.begins.size(), 1u);  // more than 200 rows: the fit shows progress
  EXPECT_EQ(progress.begins[0].caption, "正在做交易数据表格进行格式设置……");
  EXPECT_EQ(progress.begins[0].total, 3);
}

TEST(GridCellOffsets, CountFixedCellsAndTheScrolledCellsBeforeTheCurrentOne) {
  GridModel grid = GridWithColumnTexts({"a", "b", "c", "d"});
  grid.SetColWidth(0, 300);
  grid.SetColWidth(1, 1000);
  grid.SetColWidth(2, 2000);
  EXPECT_EQ(GridCellLeft(grid, 2), 1300);
  grid.SetLeftCol(2);  // column 1 scrolled out of sight
  EXPECT_EQ(GridCellLeft(grid, 2), 300);
  EXPECT_EQ(GridCellTop(grid, 4), 0 + 240 + 2 * 240);
  grid.SetTopRow(3);
  EXPECT_EQ(GridCellTop(grid, 4), 240 + 240);
}

}  // namespace
}  // namespace quenlo

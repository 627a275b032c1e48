// The selected cells as text for the clipboard, and rows put back into the
// grid, on a model alone.
#include "browser/copied_cells.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "browser/grid_operations.h"

namespace quenlo {
namespace {

using ::testing::ElementsAre;

GridModel ThreeMembers() {
  GridModel grid;
  GridSetupColumns(grid, {"", "AName", "CName", "RName"},
                   {"序号", "会员编号", "公司名称", "联系人"});
  grid.SetFixedCols(1);
  const QStringList rows[] = {{"", "m1", "甲公司", "张三"},
                              {"", "m2", "乙\t公司", "李\"四\""},
                              {"", "m3", "丙公司", "王\n五"}};
  for (const QStringList& row : rows) {
    grid.SetRows(grid.Rows() + 1);
    for (int col = 0; col < row.size(); ++col) grid.SetTextMatrix(grid.Rows() - 1, col, row[col]);
  }
  GridRenumberRows(grid);
  return grid;
}

TEST(CopiedCellsText, CaptionsWithoutSortMarksThenTheCellsOneLineARow) {
  GridModel grid = ThreeMembers();
  GridSortByColumn(grid, 1);  // "会员编号△"
  GridSortByColumn(grid, 1);  // "会员编号▽", m1 first again
  EXPECT_EQ(CopiedCellsText(grid, {2, 2, 1, 2}), "会员编号\t公司名称\nm1\t甲公司\n");
  // A cell with a tab, a line break or quotes is quoted as spreadsheets read it.
  EXPECT_EQ(CopiedCellsText(grid, {3, 4, 2, 3}),
            "公司名称\t联系人\n\"乙\t公司\"\t\"李\"\"四\"\"\"\n丙公司\t\"王\n五\"\n");
  EXPECT_EQ(CopiedCellsText(grid, {}), "");
}

TEST(GridModelInsertRows, PutsRowsBackWhereTheyStoodAndTheNumbersFollow) {
  GridModel grid = ThreeMembers();
  int first = 3;
  int last = 4;
  const std::vector<QStringList> removed = {{"2", "m2", "乙"}, {"3", "m3", "丙"}};
  GridDeleteRows(grid, first, last, false);
  grid.InsertRows(3, removed);
  GridRenumberRows(grid);
  ASSERT_EQ(grid.Rows(), 5);
  EXPECT_EQ(grid.TextMatrix(3, 1), "m2");
  EXPECT_EQ(grid.TextMatrix(4, 2), "丙");
  EXPECT_EQ(grid.TextMatrix(4, 3), "");  // missing cells are empty
  EXPECT_EQ(grid.TextMatrix(4, 0), "3");
  EXPECT_EQ(grid.RowHeight(4), grid.RowHeight(2));
  grid.InsertRows(99, removed);  // beyond the grid: nothing
  EXPECT_EQ(grid.Rows(), 5);
}

}  // namespace
}  // namespace quenlo

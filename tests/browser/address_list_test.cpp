// The address list over a real record base: fill, search and deletion.
#include "browser/address_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>

#include "browser/grid_operations.h"
#include "browser_test_support.h"

namespace quenlo {
namespace {

using ::testing::ElementsAre;
using testing::Answer;
using testing::RecordingMessenger;
using testing::RecordingProgress;
using testing::RunSql;
using testing::Succeeded;
using testing::TempDatabase;

QStringList GridColumn(const GridModel& grid, int col) {
  QStringList texts;
  for (int r = grid.FixedRows(); r < grid.Rows(); ++r) texts << grid.TextMatrix(r, col);
  return texts;
}

class AddressListTest : public ::testing::Test {
 protected:
  void Refresh(const QString& entry = {}, const QString& keyword = {}) {
    RefreshAddressList(grid_, entry, keyword, measure_);
  }
  // The address table read into columns of the given fields.
  void LoadAddressTable(const QStringList& fields, const QStringList& captions) {
    GridSetupColumns(grid_, fields, captions);
    grid_.SetFixedCols(1);
    grid_.SetTag(kContactTable);
    GridLoadTable(grid_, "", "ID ASC", measure_);
  }

  TempDatabase database_;
  RecordingMessenger messenger_{Answer::Yes};
  RecordingProgress progress_;
  CharCountMeasure measure_;
  GridModel grid_;
};

TEST_F(AddressListTest, FillsAtMostTheRowCapAndCountsEveryRecordInTheProgress) {
  TempDatabase::AddMembers(40000);
  Refresh();
  EXPECT_EQ(GridDataRowCount(grid_), 29164);
  EXPECT_EQ(AddressCountText(grid_), "共29164条记录");
  ASSERT_GE(progress_.begins.size(), 2u);
  EXPECT_EQ(progress_.begins[0].caption, "正在打开数据库……");
  EXPECT_EQ(progress_.begins[1].caption, "正在打开数据库……");
  EXPECT_EQ(progress_.begins[1].total, 40001);
  EXPECT_EQ(grid_.TextMatrix(2, 0), "1");
  EXPECT_EQ(grid_.TextMatrix(2, 1), "m1");
  EXPECT_EQ(grid_.TextMatrix(2, 2), "公司1");
  EXPECT_EQ(grid_.TextMatrix(29165, 0), "29164");
  EXPECT_EQ(grid_.TextMatrix(29165, 1), "m29164");
  EXPECT_TRUE(grid_.Visible());
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

TEST_F(AddressListTest, AnEmptyTableLeavesTheHeaderRows) {
  Refresh();
  EXPECT_EQ(grid_.Rows(), 2);
  EXPECT_EQ(grid_.TextMatrix(0, 11), "CUrl");
  EXPECT_EQ(grid_.TextMatrix(1, 11), "网址");
  EXPECT_EQ(grid_.Tag(), "地址表");
  EXPECT_EQ(grid_.FixedCols(), 1);
  EXPECT_EQ(AddressCountText(grid_), "共0条记录");
}

TEST_F(AddressListTest, SearchesOneFieldForTheKeywordAsTyped) {
  TempDatabase::AddContact("a1", "上海电子厂");
  TempDatabase::AddContact("a2", "北京机械");
  TempDatabase::AddContact("a3", "O'Neil 电子");
  TempDatabase::AddContact("a4", "100% 电子");
  TempDatabase::AddContact("a5", "1000 电子");
  Refresh();

  Refresh("02:公司名称", "电子");
  EXPECT_EQ(GridColumn(grid_, 1), QStringList({"a1", "a3", "a4", "a5"}));
  Refresh("02:公司名称", "O'Neil");
  EXPECT_EQ(GridColumn(grid_, 1), QStringList({"a3"}));
  // LIKE's wildcards in the keyword are plain characters.
  Refresh("02:公司名称", "0%");
  EXPECT_EQ(GridColumn(grid_, 1), QStringList({"a4"}));
  Refresh("01:会员编号", "_");
  EXPECT_TRUE(GridColumn(grid_, 1).isEmpty());
  EXPECT_EQ(AddressCountText(grid_), "共0条记录");

  // Without a keyword (or without an entry) the whole table shows.
  Refresh("02:公司名称", "");
  EXPECT_EQ(GridDataRowCount(grid_), 5);
  Refresh("", "电子");
  EXPECT_EQ(GridDataRowCount(grid_), 5);
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

TEST_F(AddressListTest, SearchWorksBeforeTheGridShowsTheAddressList) {
  TempDatabase::AddContact("a1", "电子");
  TempDatabase::AddContact("a2", "机械");
  Refresh("02:公司名称", "机械");  // the grid's field-name row is still empty
  EXPECT_EQ(GridColumn(grid_, 1), QStringList({"a2"}));
}

TEST_F(AddressListTest, DeletesTheSelectedMembersFromTheAddressTableOnly) {
  TempDatabase::AddMembers(10);
  RunSql("INSERT INTO 介绍表(AName) VALUES('m4')");
  Refresh();
  grid_.SetRow(8);     // data row 7, where the selection began
  grid_.SetRowSel(4);  // data row 3, dragged upwards

  EXPECT_TRUE(DeleteAddressRows(grid_));
  EXPECT_THAT(messenger_.questions, ElementsAre("您确定要删除第3至第7行？"));
  EXPECT_EQ(progress_.begins.back().caption, "正在删除地址记录……");
  EXPECT_EQ(progress_.begins.back().total, 5);
  EXPECT_EQ(TempDatabase::Column("AName"), QStringList({"m1", "m2", "m8", "m9", "m10"}));
  EXPECT_EQ(GridColumn(grid_, 1), QStringList({"m1", "m2", "m8", "m9", "m10"}));
  EXPECT_EQ(GridColumn(grid_, 0), QStringList({"1", "2", "3", "4", "5"}));
  EXPECT_EQ(AddressCountText(grid_), "共5条记录");

  Connection connection;
  Recordset profiles;
  ASSERT_TRUE(Succeeded(DbOpenRecordset(connection, profiles, "SELECT AName FROM 介绍表")));
  EXPECT_EQ(profiles.RecordCount(), 1);
  DbCloseRecordset(connection, profiles);
}

TEST_F(AddressListTest, ASortWhileDeletingStillDeletesTheSelectedMembers) {
  TempDatabase::AddMembers(6);
  Refresh();
  grid_.SetRow(2);  // m1 and m2
  grid_.SetRowSel(3);
  progress_.onStep = [this] { GridSortByColumn(grid_, 1); };
  EXPECT_TRUE(DeleteAddressRows(grid_));
  EXPECT_EQ(TempDatabase::Column("AName"), QStringList({"m3", "m4", "m5", "m6"}));
}

TEST_F(AddressListTest, ADeclinedDeletionChangesNothing) {
  TempDatabase::AddMembers(5);
  Refresh();
  grid_.SetRow(5);
  grid_.SetRowSel(5);
  messenger_.answer = Answer::No;
  const size_t begins = progress_.begins.size();
  EXPECT_FALSE(DeleteAddressRows(grid_));
  EXPECT_THAT(messenger_.questions, ElementsAre("您确定要删除第4至第4行？"));
  EXPECT_EQ(progress_.begins.size(), begins);
  EXPECT_EQ(TempDatabase::Column("AName").size(), 5);
  EXPECT_EQ(GridDataRowCount(grid_), 5);
}

TEST_F(AddressListTest, ADeleteThatFailsMidwayIsReportedOnceAndTheGridMatchesTheTable) {
  TempDatabase::AddMembers(8);
  // The database refuses to delete m5, as a locked file would.
  RunSql("CREATE TRIGGER refuse BEFORE DELETE ON 地址表 WHEN old.AName='m5' "
         "BEGIN SELECT RAISE(ABORT, 'database is locked'); END");
  Refresh();
  grid_.SetRow(4);     // data rows 3 to 7: m3 .. m7
  grid_.SetRowSel(8);

  EXPECT_TRUE(DeleteAddressRows(grid_));
  ASSERT_EQ(messenger_.messages.size(), 1);
  EXPECT_TRUE(messenger_.messages[0].contains("第5行")) << messenger_.messages[0].toStdString();
  EXPECT_EQ(TempDatabase::Column("AName"), QStringList({"m1", "m2", "m5", "m6", "m7", "m8"}));
  EXPECT_EQ(GridColumn(grid_, 1), TempDatabase::Column("AName"));
}

TEST_F(AddressListTest, ADeleteWithoutABaseSaysWhyAndKeepsTheRows) {
  TempDatabase::AddMembers(3);
  Refresh();
  ASSERT_TRUE(QFile::remove(DatabasePath()));
  grid_.SetRow(2);
  grid_.SetRowSel(3);
  EXPECT_TRUE(DeleteAddressRows(grid_));
  EXPECT_THAT(messenger_.messages,
              ElementsAre("删除第1行的记录时出错，删除已停止：无法建立数据库连接！"));
  EXPECT_EQ(GridDataRowCount(grid_), 3);
}

TEST_F(AddressListTest, TwoRowsOfOneMemberAreBothDeletedFromTheTable) {
  TempDatabase::AddContact("dup", "一");
  TempDatabase::AddContact("other", "二");
  TempDatabase::AddContact("dup", "三");
  Refresh();
  grid_.SetRow(2);
  grid_.SetRowSel(2);
  DeleteAddressRows(grid_);
  EXPECT_EQ(TempDatabase::Column("AName"), QStringList({"other"}));
  EXPECT_EQ(GridColumn(grid_, 2), QStringList({"二", "三"}));
}

TEST_F(AddressListTest, AnEmptyGridDeletesNothingAndAsksNothing) {
  Refresh();
  EXPECT_FALSE(DeleteAddressRows(grid_));
  EXPECT_TRUE(messenger_.questions.isEmpty());
}

TEST_F(AddressListTest, AWholeSelectInTheTagFillsColoursLookupsAndFormattedNumbers) {
  TempDatabase::AddMembers(2);
  RunSql("INSERT INTO 介绍表(AName, Score) VALUES('m2', '五星')");
  GridSetupColumns(grid_, {"", "AName", "Color", "AName:介绍表:AName:Score", "a:b", "Ratio"},
                   {"序号", "会员", "色", "评分", "空", "比"});
  grid_.SetFixedCols(1);
  grid_.SetTag("SELECT AName, CASE WHEN ID=1 THEN 0 ELSE 255 END AS Color, "
               "ID * 0.125 AS Ratio FROM 地址表 ORDER BY ID DESC");
  GridLoadTable(grid_, "ignored", "ignored", measure_);

  EXPECT_EQ(GridColumn(grid_, 1), QStringList({"m2", "m1"}));
  EXPECT_EQ(grid_.CellBackColor(2, 2), 255u);
  EXPECT_EQ(grid_.CellBackColor(3, 2), 65793u);  // a colour of 0 shows as RGB(1,1,1)
  EXPECT_EQ(GridColumn(grid_, 2), QStringList({"", ""}));
  EXPECT_EQ(GridColumn(grid_, 3), QStringList({"五星", ""}));
  EXPECT_EQ(GridColumn(grid_, 4), QStringList({"", ""}));
  EXPECT_EQ(GridColumn(grid_, 5), QStringList({"0.25", "0.12"}));
}

TEST_F(AddressListTest, ABaseThatCannotBeReadShowsTheSearchOnceAndLeavesTheHeaderRows) {
  TempDatabase::AddMembers(3);
  ASSERT_TRUE(QFile::remove(DatabasePath()));
  Refresh("02:公司名称", "公司");
  EXPECT_THAT(messenger_.messages,
              ElementsAre("数据库打开错误(SELECT * FROM 地址表 WHERE CName LIKE '%公司%' "
                          "ESCAPE '\\' ORDER BY ID ASC)！"));
  EXPECT_EQ(grid_.Rows(), 2);
  EXPECT_TRUE(grid_.Visible());
  EXPECT_EQ(progress_.begins.size(), 1u);
  EXPECT_EQ(progress_.ends, 1);
}

TEST_F(AddressListTest, ALookupThatCannotBeMadeIsShownForEachRowAndReadsEmpty) {
  TempDatabase::AddMembers(2);
  LoadAddressTable({"", "AName", "AName:介绍表:NoKey:Score"}, {"序号", "会员", "评分"});
  EXPECT_THAT(messenger_.messages,
              ElementsAre("数据库打开错误(SELECT * FROM 介绍表 WHERE NoKey='m1')！",
                          "数据库打开错误(SELECT * FROM 介绍表 WHERE NoKey='m2')！"));
  EXPECT_EQ(GridColumn(grid_, 1), QStringList({"m1", "m2"}));
  EXPECT_EQ(GridColumn(grid_, 2), QStringList({"", ""}));
}

TEST_F(AddressListTest, AFieldMissingFromTheRecordsEndsTheFillQuietly) {
  TempDatabase::AddMembers(3);
  LoadAddressTable({"", "AName", "NoSuchField"}, {"序号", "会员", "无"});
  // The row being filled when the failure came stays; the fill stops there.
  EXPECT_EQ(GridColumn(grid_, 1), QStringList({"m1"}));
  EXPECT_TRUE(grid_.Visible());
  EXPECT_TRUE(messenger_.messages.isEmpty());
  EXPECT_EQ(progress_.ends, 1);
}

}  // namespace
}  // namespace quenlo

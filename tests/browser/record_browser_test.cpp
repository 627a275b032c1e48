// The grid view and in-grid editing on the offscreen platform, over a real
// record base.
#include "browser/record_browser.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include "browser/address_list.h"
#include "browser/grid_view.h"
#include "browser/line_edit_cell_box.h"
#include "browser/profile_list.h"
#include "browser_test_support.h"

namespace quenlo {
namespace {

using testing::Answer;
using testing::RecordingMessenger;
using testing::RecordingProgress;
using testing::RunSql;
using testing::TempDatabase;

class RecordBrowserTest : public ::testing::Test {
 protected:
  RecordBrowserTest() : browser_(AddressList(), grid_, &host_, AddressOptions()) {
    host_.setLayout(new QVBoxLayout);
    host_.layout()->addWidget(&browser_.View());
    host_.resize(1000, 400);
    host_.show();
    QApplication::setActiveWindow(&host_);
  }

  RecordBrowser::Options AddressOptions() {
    RecordBrowser::Options options;
    options.editable = true;
    options.openContactPage = [this](const QString& member) { opened_ << member; };
    options.memberDoubleClicked = [this](const QString& member) { linked_ << member; };
    return options;
  }

  GridView& View() { return browser_.View(); }
  QLineEdit& Box() { return browser_.EditBox().Widget(); }

  // The centre of data cell (row, col) of the grid, in the view's viewport.
  QPoint CellCentre(int row, int col) {
    return View()
        .visualRect(View().model()->index(row - grid_.FixedRows(), col - grid_.FixedCols()))
        .center();
  }
  void DoubleClickCell(int row, int col) {
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, CellCentre(row, col));
  }
  void ClickCell(int row, int col) {
    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, CellCentre(row, col));
  }
  void EditCell(int row, int col, const QString& text) {
    DoubleClickCell(row, col);
    ASSERT_TRUE(Box().isVisible());
    Box().setText(text);
  }

  TempDatabase database_;
  RecordingMessenger messenger_{Answer::Yes};
  RecordingProgress progress_;
  GridModel grid_;
  QWidget host_;
  QStringList opened_;
  QStringList linked_;
  RecordBrowser browser_;
};

TEST_F(RecordBrowserTest, ShowsCaptionsAsTheHeaderAndRowNumbersAtTheLeft) {
  TempDatabase::AddMembers(3);
  EXPECT_EQ(browser_.Refresh({}, {}), "共3条记录");
  QAbstractItemModel& model = *View().model();
  EXPECT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.columnCount(), 11);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "会员编号");
  EXPECT_EQ(model.headerData(10, Qt::Horizontal).toString(), "网址");
  EXPECT_EQ(model.headerData(2, Qt::Vertical).toString(), "3");
  EXPECT_EQ(model.index(0, 0).data().toString(), "m1");
  // Sizes follow the model's twips.
  EXPECT_NEAR(View().columnWidth(1), View().TwipsToPixelsX(grid_.ColWidth(2)), 1);
  EXPECT_EQ(View().horizontalHeader()->height(), View().TwipsToPixelsY(grid_.RowHeight(1)));
}

// The row-number column's caption stands on the corner above the row numbers.
TEST_F(RecordBrowserTest, TheCornerShowsTheRowNumberCaption) {
  TempDatabase::AddMembers(1);
  browser_.Refresh({}, {});
  auto* corner = View().findChild<QAbstractButton*>("corner");
  ASSERT_NE(corner, nullptr);
  ASSERT_GT(corner->width(), 0);
  const QImage captioned = corner->grab().toImage();
  grid_.SetTextMatrix(1, 0, QString());
  View().SyncFromModel();
  const QImage blank = corner->grab().toImage();
  ASSERT_EQ(captioned.size(), blank.size());
  int differing = 0;
  for (int y = 0; y < blank.height(); ++y)
    for (int x = 0; x < blank.width(); ++x) differing += captioned.pixel(x, y) != blank.pixel(x, y);
  EXPECT_GT(differing, 10);
}

TEST_F(RecordBrowserTest, APressOnACaptionSortsAndTheViewFollows) {
  TempDatabase::AddContact("a", "北京");
  TempDatabase::AddContact("b", "上海");
  browser_.Refresh({}, {});
  QHeaderView& header = *View().horizontalHeader();
  const QPoint caption(header.sectionViewportPosition(1) + header.sectionSize(1) / 2,
                       header.height() / 2);
  QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, caption);
  QApplication::processEvents();
  EXPECT_EQ(View().model()->headerData(1, Qt::Horizontal).toString(), "公司名称△");
  EXPECT_EQ(View().model()->index(0, 1).data().toString(), "上海");
  EXPECT_EQ(View().model()->headerData(0, Qt::Vertical).toString(), "1");
}

TEST_F(RecordBrowserTest, EditingACompanyNameStoresItWhenAnotherCellIsClicked) {
  TempDatabase::AddMembers(3);
  browser_.Refresh({}, {});
  EditCell(3, 2, "新公司 O'Brien");
  // The box lies over the cell.
  const QRect cell = View().visualRect(View().model()->index(1, 1));
  const QPoint cellTopLeft = View().viewport()->mapTo(&View(), cell.topLeft());
  EXPECT_NEAR(Box().x(), cellTopLeft.x(), 2);
  EXPECT_NEAR(Box().y(), cellTopLeft.y(), 2);
  // Far to the right too, with widths of half pixels at 72 or 96 dots an
  // inch: widths rounded one by one used to drift from the twips.
  for (int c = 1; c < grid_.Cols(); ++c) grid_.SetColWidth(c, 1010);
  View().SyncFromModel();
  DoubleClickCell(2, 10);
  ASSERT_TRUE(Box().isVisible());
  const QRect far = View().visualRect(View().model()->index(0, 9));
  EXPECT_NEAR(Box().x(), View().viewport()->mapTo(&View(), far.topLeft()).x(), 1);
  EditCell(3, 2, "新公司 O'Brien");

  ClickCell(2, 3);
  EXPECT_FALSE(Box().isVisible());
  EXPECT_EQ(grid_.TextMatrix(3, 2), "新公司 O'Brien");
  EXPECT_EQ(TempDatabase::Column("CName"), QStringList({"公司1", "新公司 O'Brien", "公司3"}));
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

TEST_F(RecordBrowserTest, EditingTheMemberNameRenamesItInBothTables) {
  TempDatabase::AddMembers(2);
  TempDatabase::AddProfile("m1", "甲的介绍");
  TempDatabase::AddProfile("m2", "乙的介绍");
  browser_.Refresh({}, {});
  EditCell(2, 1, "m1-new");
  browser_.CommitEdit();
  EditCell(2, 1, "m1-newer");  // a second edit keys on the name just saved
  browser_.CommitEdit();
  EXPECT_EQ(TempDatabase::Column("AName"), QStringList({"m1-newer", "m2"}));
  EXPECT_EQ(TempDatabase::Column("CName", "AName=?", {"m1-newer"}), QStringList({"公司1"}));
  EXPECT_EQ(TempDatabase::ProfileColumn("AName"), QStringList({"m1-newer", "m2"}));
  EXPECT_EQ(TempDatabase::ProfileColumn("Intro"), QStringList({"甲的介绍", "乙的介绍"}));
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

// A name the harvests would refuse, or one another member holds, is refused
// with a message and the cell shows the stored name again.
TEST_F(RecordBrowserTest, ARenameToATakenOrUnsafeNameIsRefused) {
  TempDatabase::AddMembers(2);
  TempDatabase::AddProfile("m1");
  TempDatabase::AddProfile("m2");
  browser_.Refresh({}, {});
  EditCell(2, 1, "m2");
  browser_.CommitEdit();
  EditCell(2, 1, "公司 名");
  browser_.CommitEdit();
  ASSERT_EQ(messenger_.messages.size(), 2);
  EXPECT_EQ(messenger_.messages[0], "修改没有保存：会员编号“m2”已被另一条记录使用。");
  EXPECT_TRUE(messenger_.messages[1].startsWith("修改没有保存：会员编号“公司 名”不能使用"));
  EXPECT_EQ(grid_.TextMatrix(2, 1), "m1");
  EXPECT_EQ(TempDatabase::Column("AName"), QStringList({"m1", "m2"}));
  EXPECT_EQ(TempDatabase::ProfileColumn("AName"), QStringList({"m1", "m2"}));
}

TEST_F(RecordBrowserTest, EscEndsTheEditAndKeepsTheStoredValue) {
  TempDatabase::AddMembers(3);
  browser_.Refresh({}, {});
  EditCell(3, 2, "打错的名字");
  QTest::keyClick(&Box(), Qt::Key_Escape);
  EXPECT_FALSE(Box().isVisible());
  ClickCell(2, 3);  // the click that used to store the text
  browser_.CommitEdit();
  EXPECT_EQ(grid_.TextMatrix(3, 2), "公司2");
  EXPECT_EQ(TempDatabase::Column("CName"), QStringList({"公司1", "公司2", "公司3"}));
  EXPECT_FALSE(browser_.CanUndo());
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

TEST_F(RecordBrowserTest, UnchangedAndEmptiedTextsAreHandledAsTyped) {
  TempDatabase::AddMembers(1);
  browser_.Refresh({}, {});
  RunSql(
      "CREATE TRIGGER refuse BEFORE UPDATE ON 地址表 WHEN new.RName='x' "
      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
  EditCell(2, 2, "公司1");  // unchanged: nothing written, nothing said
  browser_.CommitEdit();
  EditCell(2, 2, "");
  browser_.CommitEdit();
  EXPECT_EQ(TempDatabase::Column("CName"), QStringList({""}));
  // A save the database refuses is reported and the cell shows the stored text again.
  EditCell(2, 3, "x");
  browser_.CommitEdit();
  EXPECT_EQ(messenger_.messages, QStringList({"修改没有保存：refused"}));
  EXPECT_EQ(grid_.TextMatrix(2, 3), "");
}

TEST_F(RecordBrowserTest, ScrollingCommitsTheEdit) {
  TempDatabase::AddMembers(300);
  browser_.Refresh({}, {});
  EditCell(2, 4, "13800000000");
  View().verticalScrollBar()->setValue(100);
  EXPECT_FALSE(Box().isVisible());
  EXPECT_EQ(TempDatabase::Column("RMob", "AName='m1'"), QStringList({"13800000000"}));
  EXPECT_EQ(grid_.TopRow(), 102);
}

TEST_F(RecordBrowserTest, TheEditOutlivesAnotherWindowButNotFocusMovingOn) {
  TempDatabase::AddMembers(2);
  browser_.Refresh({}, {});
  EditCell(2, 4, "13900000000");
  QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(&Box(), &deactivated);
  EXPECT_TRUE(Box().isVisible());
  EXPECT_EQ(TempDatabase::Column("RMob", "AName='m1'"), QStringList({""}));

  QFocusEvent tabbedAway(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(&Box(), &tabbedAway);
  EXPECT_FALSE(Box().isVisible());
  EXPECT_EQ(TempDatabase::Column("RMob", "AName='m1'"), QStringList({"13900000000"}));
}

TEST_F(RecordBrowserTest, ADoubleClickOnTheWebAddressOpensTheContactPageAndEdits) {
  TempDatabase::AddMembers(2);
  browser_.Refresh({}, {});
  View().horizontalScrollBar()->setValue(View().horizontalScrollBar()->maximum());
  DoubleClickCell(3, 11);
  EXPECT_EQ(opened_, QStringList({"m2"}));
  EXPECT_TRUE(Box().isVisible());
  EXPECT_EQ(Box().text(), "http://m2.example");
  DoubleClickCell(3, 10);
  EXPECT_EQ(opened_.size(), 1);
}

TEST_F(RecordBrowserTest, DeletingTheSelectionUpdatesTheViewAndTheCount) {
  TempDatabase::AddMembers(5);
  browser_.Refresh({}, {});
  ClickCell(3, 2);
  QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(5, 2));
  EXPECT_EQ(grid_.Row(), 5);
  EXPECT_EQ(grid_.RowSel(), 3);
  EXPECT_EQ(browser_.DeleteSelected(), "共2条记录");
  EXPECT_EQ(messenger_.questions, QStringList({"您确定要删除第2至第4行？"}));
  EXPECT_EQ(View().model()->rowCount(), 2);
  EXPECT_EQ(View().model()->index(1, 0).data().toString(), "m5");
}

// Steps come back newest first: a deletion (rows where they stood, every
// value), a rename (both tables), a company name.
TEST_F(RecordBrowserTest, UndoTakesBackDeletionsAndEditsSeveralStepsDeep) {
  TempDatabase::AddMembers(5);
  for (const char* member : {"m1", "m2", "m3", "m4", "m5"}) TempDatabase::AddProfile(member);
  RunSql("UPDATE 地址表 SET RMob='13800000004' WHERE AName='m4'");
  browser_.Refresh({}, {});
  const QStringList idsBefore = TempDatabase::Column("ID");
  EditCell(2, 2, "新公司");
  EditCell(3, 1, "m2-new");  // the double-click commits the first edit
  browser_.CommitEdit();
  grid_.SetRow(5);
  grid_.SetRowSel(4);
  EXPECT_EQ(browser_.DeleteSelected(), "共3条记录");
  EXPECT_EQ(TempDatabase::Column("AName"), QStringList({"m1", "m2-new", "m5"}));

  EXPECT_EQ(browser_.Undo(), "共5条记录");
  EXPECT_EQ(TempDatabase::Column("ID"), idsBefore);
  EXPECT_EQ(TempDatabase::Column("RMob", "AName='m4'"), QStringList({"13800000004"}));
  EXPECT_EQ(grid_.TextMatrix(4, 1), "m3");
  EXPECT_EQ(grid_.TextMatrix(5, 1), "m4");
  EXPECT_EQ(grid_.TextMatrix(5, 0), "4");
  EXPECT_EQ(View().model()->rowCount(), 5);

  browser_.Undo();
  EXPECT_EQ(TempDatabase::Column("AName"), QStringList({"m1", "m2", "m3", "m4", "m5"}));
  EXPECT_EQ(TempDatabase::ProfileColumn("AName"), QStringList({"m1", "m2", "m3", "m4", "m5"}));
  EXPECT_EQ(grid_.TextMatrix(3, 1), "m2");
  browser_.Undo();
  EXPECT_EQ(TempDatabase::Column("CName", "AName='m1'"), QStringList({"公司1"}));
  EXPECT_EQ(grid_.TextMatrix(2, 2), "公司1");
  EXPECT_FALSE(browser_.CanUndo());
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

// After a refill or a sort the deleted rows' places are gone: they come back
// into the base and the grid is filled anew with the same search.
TEST_F(RecordBrowserTest, UndoingADeletionAfterARefillFillsTheGridAgain) {
  TempDatabase::AddMembers(12);
  browser_.Refresh("01:会员编号", "m1");  // m1, m10, m11, m12
  grid_.SetRow(2);
  grid_.SetRowSel(3);
  browser_.DeleteSelected();
  browser_.Refresh("01:会员编号", "m1");
  EXPECT_EQ(browser_.Undo(), "共4条记录");
  EXPECT_EQ(grid_.TextMatrix(2, 1), "m1");
  EXPECT_EQ(TempDatabase::Column("AName").size(), 12);
}

// A step the base refuses stays, to be tried again.
TEST_F(RecordBrowserTest, AnUndoTheBaseRefusesIsReportedAndKept) {
  TempDatabase::AddMembers(2);
  browser_.Refresh({}, {});
  EditCell(2, 3, "张三");
  browser_.CommitEdit();
  RunSql("CREATE TRIGGER refuse BEFORE UPDATE ON 地址表 BEGIN SELECT RAISE(ABORT, 'locked'); END");
  browser_.Undo();
  EXPECT_EQ(messenger_.messages, QStringList({"未能撤销：locked"}));
  EXPECT_TRUE(browser_.CanUndo());
  RunSql("DROP TRIGGER refuse");
  browser_.Undo();
  EXPECT_EQ(TempDatabase::Column("RName"), QStringList({"", ""}));
  EXPECT_FALSE(browser_.CanUndo());
}

TEST_F(RecordBrowserTest, CtrlCCopiesTheSelectedCellsWithTheirCaptions) {
  TempDatabase::AddMembers(3);
  browser_.Refresh({}, {});
  ClickCell(2, 1);
  QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(3, 2));
  QApplication::clipboard()->clear();
  QTest::keyClick(&View(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "会员编号\t公司名称\nm1\t公司1\nm2\t公司2\n");
}

TEST_F(RecordBrowserTest, TheDeleteKeyAsksForTheDeletion) {
  TempDatabase::AddMembers(2);
  browser_.Refresh({}, {});
  int pressed = 0;
  QObject::connect(&View(), &GridView::DeleteKeyPressed, [&] { ++pressed; });
  ClickCell(2, 2);
  QTest::keyClick(&View(), Qt::Key_Delete);
  EXPECT_EQ(pressed, 1);
}

TEST_F(RecordBrowserTest, ADoubleClickOnAMemberHandsItOnAndEditsIt) {
  TempDatabase::AddMembers(2);
  browser_.Refresh({}, {});
  DoubleClickCell(3, 1);
  EXPECT_EQ(linked_, QStringList({"m2"}));
  EXPECT_TRUE(Box().isVisible());
  DoubleClickCell(3, 2);
  EXPECT_EQ(linked_.size(), 1);
}

// The profile list: 介绍表 under its own captions, read only.
TEST(ProfileBrowser, ShowsTheProfileTableAndFindsAMember) {
  TempDatabase database;
  RecordingMessenger messenger;
  RecordingProgress progress;
  TempDatabase::AddProfile("p1", "第一家");
  TempDatabase::AddProfile("p2", "第二家");
  GridModel grid;
  QWidget host;
  host.setLayout(new QVBoxLayout);
  RecordBrowser browser(ProfileList(), grid, &host, {});
  host.layout()->addWidget(&browser.View());
  host.show();
  EXPECT_EQ(browser.Refresh({}, {}), "共2条记录");
  QAbstractItemModel& model = *browser.View().model();
  EXPECT_EQ(model.columnCount(), 14);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "会员编号");
  EXPECT_EQ(model.headerData(13, Qt::Horizontal).toString(), "公司介绍");
  EXPECT_EQ(model.index(1, 13).data().toString(), "第二家");
  EXPECT_TRUE(browser.ShowMember("p2"));
  EXPECT_EQ(grid.Row(), 3);
  EXPECT_FALSE(browser.ShowMember("p3"));
  EXPECT_EQ(browser.Refresh("14:公司介绍", "第一"), "共1条记录");
  // Nothing to edit or delete here.
  grid.SetRow(2);
  grid.SetRowSel(2);
  EXPECT_EQ(browser.DeleteSelected(), "");
  EXPECT_TRUE(messenger.questions.isEmpty());
}

}  // namespace
}  // namespace quenlo

// The record browser wired into the real main window (DeleteRows and Refresh).
#include "shell/wiring/record_browser_wiring.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>

#include "browser/grid_operations.h"
#include "browser/grid_view.h"
#include "shell/main_window.h"
#include "tests/browser/browser_test_support.h"

namespace quenlo {
namespace {

using testing::Answer;
using testing::RecordingMessenger;
using testing::RecordingProgress;
using testing::TempDatabase;

TEST(RecordBrowserWiring, RefreshAndDeleteCommandsDriveTheGridAndTheCountLabel) {
  TempDatabase database;
  TempDatabase::AddMembers(3);
  MainWindow window;
  WireRecordBrowser(window);
  RecordingMessenger messenger{Answer::Yes};  // after the window, which may install its own
  RecordingProgress progress;
  auto* view = window.GridHost()->findChild<GridView*>();
  ASSERT_NE(view, nullptr);

  window.RunCommand(Command::Refresh);
  EXPECT_EQ(window.StatusLabel()->text(), "共3条记录");
  EXPECT_EQ(view->model()->rowCount(), 3);

  window.SearchFieldBox()->setCurrentText("02:公司名称");
  window.KeywordEdit()->setText("公司2");
  window.RunCommand(Command::Refresh);
  EXPECT_EQ(window.StatusLabel()->text(), "共1条记录");

  window.RecordGrid().SetRow(2);
  window.RecordGrid().SetRowSel(2);
  window.RunCommand(Command::DeleteRows);
  EXPECT_EQ(messenger.questions, QStringList({"您确定要删除第1至第1行？"}));
  EXPECT_EQ(window.StatusLabel()->text(), "共0条记录");
  EXPECT_EQ(TempDatabase::Column("AName"), QStringList({"m1", "m3"}));
}

class RecordListsInTheWindow : public ::testing::Test {
 protected:
  RecordListsInTheWindow() {
    TempDatabase::AddMembers(3);
    for (const char* member : {"m1", "m2", "m3"}) TempDatabase::AddProfile(member);
    TempDatabase::AddProfile("p-only", "只在介绍表中");
    WireRecordBrowser(window_);
    window_.show();
    QApplication::setActiveWindow(&window_);
    window_.RunCommand(Command::Refresh);
  }
  GridView& ViewIn(QWidget* host) { return *host->findChild<GridView*>(); }
  QPoint CellCentre(GridView& view, int row, int col) {
    return view.visualRect(view.model()->index(row - 2, col - 1)).center();
  }

  TempDatabase database_;
  MainWindow window_;
  RecordingMessenger messenger_{Answer::Yes};
  RecordingProgress progress_;
};

TEST_F(RecordListsInTheWindow, TheProfileTabShowsTheProfileTableWhenFirstOpened) {
  EXPECT_EQ(window_.ProfileGrid().Rows(), 2);  // not read yet
  window_.TabBar()->setCurrentIndex(1);
  EXPECT_EQ(window_.StatusLabel()->text(), "共4条记录");
  GridView& profiles = ViewIn(window_.ProfileGridHost());
  EXPECT_EQ(profiles.model()->rowCount(), 4);
  EXPECT_EQ(profiles.model()->headerData(1, Qt::Horizontal).toString(), "会员评价");
  EXPECT_EQ(profiles.model()->index(3, 13).data().toString(), "只在介绍表中");
  EXPECT_EQ(window_.ProfileFieldBox()->itemText(13), "14:公司介绍");

  window_.ProfileFieldBox()->setCurrentIndex(13);
  window_.ProfileKeywordEdit()->setText("介绍表");
  QTest::keyClick(window_.ProfileKeywordEdit(), Qt::Key_Return);
  EXPECT_EQ(window_.StatusLabel()->text(), "共1条记录");
}

// A member double-clicked in the profile list is found in the address list,
// and one double-clicked in the address list is found among the profiles.
TEST_F(RecordListsInTheWindow, MemberNumbersLinkTheTwoTabs) {
  window_.TabBar()->setCurrentIndex(1);
  GridView& profiles = ViewIn(window_.ProfileGridHost());
  QTest::mouseDClick(profiles.viewport(), Qt::LeftButton, {}, CellCentre(profiles, 3, 1));
  EXPECT_EQ(window_.TabBar()->currentIndex(), 0);
  EXPECT_EQ(window_.RecordGrid().Row(), 3);
  EXPECT_EQ(window_.RecordGrid().TextMatrix(3, 1), "m2");

  window_.TabBar()->setCurrentIndex(1);
  QTest::mouseDClick(profiles.viewport(), Qt::LeftButton, {}, CellCentre(profiles, 5, 1));
  EXPECT_EQ(window_.StatusLabel()->text(), "地址表中没有会员编号为 p-only 的记录");
  EXPECT_EQ(window_.KeywordEdit()->text(), "p-only");  // the search that found nothing

  window_.KeywordEdit()->clear();
  window_.RunCommand(Command::Refresh);
  window_.ProfileGrid().SetRow(2);
  GridView& addresses = ViewIn(window_.GridHost());
  QTest::mouseDClick(addresses.viewport(), Qt::LeftButton, {}, CellCentre(addresses, 4, 1));
  EXPECT_EQ(window_.TabBar()->currentIndex(), 0);  // the edit of the name begins here
  EXPECT_EQ(window_.ProfileGrid().Row(), 4);
  EXPECT_EQ(window_.ProfileGrid().TextMatrix(4, 1), "m3");
}

TEST_F(RecordListsInTheWindow, TheDeleteKeyAsksAndTheUndoItemBringsTheRowsBack) {
  GridView& addresses = ViewIn(window_.GridHost());
  addresses.setFocus();
  QTest::mouseClick(addresses.viewport(), Qt::LeftButton, {}, CellCentre(addresses, 3, 2));
  QTest::keyClick(&addresses, Qt::Key_Delete);
  EXPECT_EQ(messenger_.questions, QStringList({"您确定要删除第2至第2行？"}));
  EXPECT_EQ(TempDatabase::Column("AName"), QStringList({"m1", "m3"}));
  EXPECT_EQ(window_.StatusLabel()->text(), "共2条记录");

  window_.findChild<QAction*>("mUndo")->trigger();
  EXPECT_EQ(TempDatabase::Column("AName"), QStringList({"m1", "m2", "m3"}));
  EXPECT_EQ(window_.RecordGrid().TextMatrix(3, 1), "m2");
  EXPECT_EQ(window_.StatusLabel()->text(), "共3条记录");
  window_.RunCommand(Command::Undo);
  EXPECT_EQ(window_.StatusLabel()->text(), "没有可以撤销的修改或删除。");
}

TEST_F(RecordListsInTheWindow, CopyTakesTheSelectionOfTheGridInView) {
  GridView& addresses = ViewIn(window_.GridHost());
  addresses.SelectGridRow(2);
  window_.RunCommand(Command::CopyCells);
  EXPECT_TRUE(QApplication::clipboard()->text().startsWith("会员编号\t公司名称\t联系人"));
  window_.TabBar()->setCurrentIndex(1);
  ViewIn(window_.ProfileGridHost()).SelectGridRow(3);
  window_.RunCommand(Command::CopyCells);
  const QStringList lines = QApplication::clipboard()->text().split('\n');
  EXPECT_TRUE(lines[0].startsWith("会员编号\t会员评价\t")) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].startsWith("m2\t")) << lines[1].toStdString();
}

// The profile tab follows a member renamed in the address tab, and its undo.
TEST_F(RecordListsInTheWindow, ARenamedMemberIsRenamedInTheProfileTabToo) {
  window_.TabBar()->setCurrentIndex(1);
  window_.TabBar()->setCurrentIndex(0);
  GridView& addresses = ViewIn(window_.GridHost());
  QTest::mouseDClick(addresses.viewport(), Qt::LeftButton, {}, CellCentre(addresses, 3, 1));
  auto* box = addresses.parentWidget()->findChild<QLineEdit*>();
  ASSERT_TRUE(box != nullptr && box->isVisible());
  box->setText("m2-new");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(window_.ProfileGrid().TextMatrix(3, 1), "m2-new");
  EXPECT_EQ(TempDatabase::ProfileColumn("AName"), QStringList({"m1", "m2-new", "m3", "p-only"}));

  window_.RunCommand(Command::Undo);
  EXPECT_EQ(window_.RecordGrid().TextMatrix(3, 1), "m2");
  EXPECT_EQ(window_.ProfileGrid().TextMatrix(3, 1), "m2");
  EXPECT_EQ(TempDatabase::ProfileColumn("AName"), QStringList({"m1", "m2", "m3", "p-only"}));
}

// After a harvest the grids show what it stored, with the search they had.
TEST_F(RecordListsInTheWindow, StoredRecordsRefillTheListsWithTheirSearch) {
  window_.KeywordEdit()->setText("公司");
  window_.RunCommand(Command::Refresh);
  window_.KeywordEdit()->setText("typed, not applied");
  TempDatabase::AddContact("m4", "新公司");
  TempDatabase::AddContact("m5", "别家");
  emit window_.StoredRecordsChanged();
  EXPECT_EQ(GridDataRowCount(window_.RecordGrid()), 4);
  EXPECT_EQ(window_.RecordGrid().TextMatrix(5, 1), "m4");
  EXPECT_EQ(window_.ProfileGrid().Rows(), 2);  // never shown: still unread
}

}  // namespace
}  // namespace quenlo

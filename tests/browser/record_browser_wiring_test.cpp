// The record browser wired into the real main window (commands 1 and 2).
#include "browser/record_browser_wiring.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "browser/grid_view.h"
#include "browser_test_support.h"
#include "shell/main_window.h"

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

  window.RunCommand(2);
  EXPECT_EQ(window.Lbl()->text(), "共3条记录");
  EXPECT_EQ(view->model()->rowCount(), 3);

  window.Scmb()->setCurrentText("02:公司名称");
  window.SKey()->setText("公司2");
  window.RunCommand(2);
  EXPECT_EQ(window.Lbl()->text(), "共1条记录");

  window.Grid().SetRow(2);
  window.Grid().SetRowSel(2);
  window.RunCommand(1);
  EXPECT_EQ(messenger.questions, QStringList({"您确定要删除第1至第1行？"}));
  EXPECT_EQ(window.Lbl()->text(), "共0条记录");
  EXPECT_EQ(TempDatabase::Column("AName"), QStringList({"m1", "m3"}));
}

}  // namespace
}  // namespace quenlo

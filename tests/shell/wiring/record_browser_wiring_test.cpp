// The record browser wired into the real main window (DeleteRows and Refresh).
#include "shell/wiring/record_browser_wiring.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quenlo

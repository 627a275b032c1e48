#include "shell/main_window.h"

#include "browser/grid_model.h"
#include "shell/about_window.h"
#include "shell/form_helpers.h"
#include "ports/progress_sink.h"
#include "shell/url_opener.h"
#include "store/settings.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace quenlo {
namespace {

void StoreMaxThread(const QString& value) {
  ASSERT_TRUE(SaveSettingValue("Pitrel", "Validate", "Max_Thread", value));
}

const std::vector<int> kCommands = {0, 1, 2, 3, 4, 5, 10, 40, 41, 42, 45};

// A window whose every command records that it ran.
struct MainWindowTest : ::testing::Test {
  MainWindow window;
  std::vector<int> ran;

  void WireAll() {
    for (int i : kCommands) window.SetCommandAction(i, [this, i] { ran.push_back(i); });
  }
  QAction* Item(const char* name) { return window.findChild<QAction*>(QString::fromLatin1(name)); }
};

TEST_F(MainWindowTest, CaptionsAndControls) {
  EXPECT_EQ(window.windowTitle(), "Quenlo1.0");
  EXPECT_EQ(window.TabBar()->tabText(0), "企业联系方式");
  EXPECT_EQ(window.TabBar()->count(), 2);
  const std::map<int, QString> captions = {
      {0, "下载会员地址"}, {1, "删除选定行"}, {2, "刷新"},        {3, "导出所有记录"},
      {4, "下载阿里会员名"}, {5, "导出显示记录"}, {40, "更多帮助…"}, {41, "QQ在线帮助1"},
      {42, "QQ在线帮助2"}, {45, "版 权 说 明"}};
  for (const auto& [index, caption] : captions) {
    ASSERT_NE(window.Com(index), nullptr) << index;
    EXPECT_EQ(window.Com(index)->text(), caption);
  }
  for (int i = 0; i <= 5; ++i) EXPECT_EQ(window.ButtonBackColor(i), 12640511u) << i;
  for (int i : {40, 41, 42, 45}) EXPECT_TRUE(window.HelpFrame()->isAncestorOf(window.Com(i)));
  ASSERT_NE(window.Com(10), nullptr);
  ASSERT_NE(window.Com(11), nullptr);
  EXPECT_EQ(window.Com(6), nullptr);

  QStringList fields;
  for (int i = 0; i < window.Scmb()->count(); ++i) fields << window.Scmb()->itemText(i);
  EXPECT_EQ(fields, QStringList({"01:会员编号", "02:公司名称", "03:联系人", "04:手机", "05:电话",
                                 "06:传真", "07:性别", "08:职务", "09:地址", "10:邮编",
                                 "11:网址"}));
  EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "包含");
  EXPECT_EQ(window.Lbl()->text(), "已下载会员：");
  const QString manual = window.HelpText()->toPlainText();
  for (const char* topic : {"线程数", "导出", "quenlo members", "DATA.mdb"})
    EXPECT_TRUE(manual.contains(QString::fromUtf8(topic))) << topic;
  EXPECT_NE(window.GridHost()->layout(), nullptr);
}

TEST_F(MainWindowTest, ButtonsAndMenuItemsRunTheirCommands) {
  WireAll();
  for (int i : kCommands) window.Com(i)->click();
  EXPECT_EQ(ran, kCommands);

  ran.clear();
  const std::vector<std::pair<const char*, int>> items = {
      {"mDownMember", 4}, {"mDownAddr", 0},  {"mDeleteRows", 1}, {"mOutputDispRec", 5},
      {"mOutputAllRec", 3}, {"m_HCom0", 40}, {"m_HCom1", 41},    {"m_HCom2", 42},
      {"m_HCom5", 45}};
  std::vector<int> expected;
  for (const auto& [name, command] : items) {
    QAction* item = Item(name);
    ASSERT_NE(item, nullptr) << name;
    item->trigger();
    expected.push_back(command);
  }
  EXPECT_EQ(ran, expected);
  EXPECT_EQ(Item("mDownMember")->text(), "下载会员");
  EXPECT_EQ(Item("mSetMaxThread")->text(), "下载线程数");
  EXPECT_EQ(Item("m_HCom5")->text(), "关于软件");
  EXPECT_EQ(Item("mExit")->text(), "退出");
}

TEST_F(MainWindowTest, CommandsWithoutActionShowAsUnavailable) {
  EXPECT_FALSE(window.Com(0)->isEnabled());
  EXPECT_FALSE(window.Com(0)->toolTip().isEmpty());
  EXPECT_FALSE(Item("mDownAddr")->isEnabled());
  EXPECT_FALSE(window.Com(11)->isEnabled());
  EXPECT_TRUE(window.Com(40)->isEnabled());  // the shell's own commands
  EXPECT_TRUE(window.Com(45)->isEnabled());
  window.SetCommandAction(0, [] {});
  EXPECT_TRUE(window.Com(0)->isEnabled());
  EXPECT_TRUE(window.Com(0)->toolTip().isEmpty());
  EXPECT_TRUE(Item("mDownAddr")->isEnabled());
}

TEST_F(MainWindowTest, StopCaptionTurnsTheCommandIntoAStopRequest) {
  WireAll();
  window.Com(4)->setText(QString::fromUtf8(kStopMembersCaption));
  Item("mDownMember")->trigger();
  EXPECT_FALSE(window.Com(4)->isEnabled());
  window.Com(0)->setText(QString::fromUtf8(kStopContactsCaption));
  window.RunCommand(0);
  EXPECT_FALSE(window.Com(0)->isEnabled());
  EXPECT_TRUE(ran.empty());

  window.Com(11)->setEnabled(true);
  window.Com(11)->click();
  EXPECT_FALSE(window.Com(11)->isEnabled());
}

// A harvest that pumps events until its button is disabled, as the real ones
// do: a press on the stop button (here through the menu) ends it.
TEST_F(MainWindowTest, RunningHarvestIsStoppedByItsOwnCommand) {
  int started = 0;
  window.SetCommandAction(4, [&] {
    ++started;
    QPushButton* button = window.Com(4);
    button->setText(QString::fromUtf8(kStopMembersCaption));
    window.SetButtonBackColor(4, kStopButtonColor);
    QTimer::singleShot(20, [&] { Item("mDownMember")->trigger(); });
    QElapsedTimer limit;
    limit.start();
    while (button->isEnabled() && limit.elapsed() < 5000) QTest::qWait(5);
    button->setText(QStringLiteral("下载阿里会员名"));
    window.SetButtonBackColor(4, kStartButtonColor);
    button->setEnabled(true);
  });
  window.Com(4)->click();
  EXPECT_EQ(started, 1);
  EXPECT_TRUE(window.Com(4)->isEnabled());
  EXPECT_EQ(window.Com(4)->text(), "下载阿里会员名");
  EXPECT_EQ(window.ButtonBackColor(4), kStartButtonColor);
}

TEST_F(MainWindowTest, WorkerLimitDialogAsksUntilUsableAndStores) {
  int asked = 0;
  QStringList answers{"4", "abc", "20"};
  window.SetWorkerLimitAsker([&](const QString& prompt, const QString&) {
    ++asked;
    EXPECT_EQ(prompt, "请输入线程数（5-50）：");
    return answers.takeFirst();
  });
  Item("mSetMaxThread")->trigger();
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(window.WorkerLimit(), 20);
  EXPECT_EQ(GetSettingValue("Pitrel", "Validate", "Max_Thread", ""), "20");

  window.SetWorkerLimitAsker([](const QString&, const QString&) { return QString(); });
  window.ChangeWorkerLimit();  // Cancel
  EXPECT_EQ(window.WorkerLimit(), 20);
}

TEST_F(MainWindowTest, StartReadsTheStoredLimitAndRefreshesOnce) {
  WireAll();
  int resets = 0;
  window.SetVersionCheck([&] { ++resets; }, [] {});
  const std::vector<std::pair<QString, int>> cases = {
      {"3", 15}, {"51", 15}, {"abc", 15}, {"", 15}, {"50", 50}, {"7.5", 8}};
  for (const auto& [stored, limit] : cases) {
    StoreMaxThread(stored);
    window.Start();
    EXPECT_EQ(window.WorkerLimit(), limit) << stored.toStdString();
  }
  EXPECT_EQ(std::count(ran.begin(), ran.end(), 2), long(cases.size()));
  EXPECT_EQ(resets, int(cases.size()));
  auto* timer = window.findChild<QTimer*>("NewEditionTimer");
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 10000);
  EXPECT_TRUE(timer->isSingleShot());
  EXPECT_EQ(window.TabBar()->currentIndex(), 0);
}

TEST_F(MainWindowTest, EnterRefreshesOnlyWithAKeyword) {
  WireAll();
  window.show();
  QTest::keyClick(window.SKey(), Qt::Key_Return);
  EXPECT_TRUE(ran.empty());
  window.SKey()->setText(QStringLiteral("家具"));
  QTest::keyClick(window.SKey(), Qt::Key_Return);
  EXPECT_EQ(ran, std::vector<int>{2});
}

TEST_F(MainWindowTest, FieldBoxSwallowsTyping) {
  window.show();
  const int before = window.Scmb()->currentIndex();
  QTest::keyClick(window.Scmb(), Qt::Key_Down);
  QTest::keyClicks(window.Scmb(), QStringLiteral("1"));
  EXPECT_EQ(window.Scmb()->currentIndex(), before);
}

TEST_F(MainWindowTest, TabsShowTheirPageOnly) {
  window.show();
  window.TabBar()->setCurrentIndex(1);
  EXPECT_TRUE(window.Page(1)->isVisible());
  EXPECT_FALSE(window.Page(0)->isVisible());
  window.TabBar()->setCurrentIndex(0);
  EXPECT_TRUE(window.Page(0)->isVisible());
  EXPECT_FALSE(window.Page(1)->isVisible());
}

TEST_F(MainWindowTest, ResizingFitsTheControls) {
  window.show();
  window.resize(ToPixelsX(15000, &window), ToPixelsY(9000, &window));
  QTest::qWait(10);
  const int sstWidthTwips = ToTwipsX(window.TabStrip()->width(), &window);
  EXPECT_NEAR(sstWidthTwips, ToTwipsX(window.frameGeometry().width(), &window) - 220, 30);
  EXPECT_NEAR(window.GridHost()->width(), window.Page(1)->width() + 1, 2);
  EXPECT_GT(window.GridHost()->height(), window.Page(0)->height() / 2);
  EXPECT_GT(window.Lbl()->y(), window.TabStrip()->geometry().bottom());
  // Help tab: the manual on the left, the frame of help commands beside it.
  EXPECT_LE(window.HelpText()->geometry().right(), window.HelpFrame()->x());
  EXPECT_LE(window.HelpFrame()->geometry().right(), window.Page(1)->width());
  EXPECT_EQ(window.HelpText()->height(), window.Page(1)->height());

  const QRect grid = window.GridHost()->geometry();
  window.resize(20, 20);  // far too small: heights that would be negative stay
  QTest::qWait(10);
  EXPECT_EQ(window.GridHost()->height(), grid.height());
  EXPECT_GE(window.GridHost()->width(), 0);
}

TEST_F(MainWindowTest, HelpCommandsOpenTheirAddresses) {
  std::vector<QUrl> opened;
  SetUrlOpener([&](const QUrl& url) { opened.push_back(url); });
  ASSERT_TRUE(SaveSettingValue("Pitrel", "Help", "QQ2", "424242"));
  ASSERT_TRUE(SaveSettingValue("Pitrel", "Maker", "SiteAddress", "maker.test"));
  window.RunCommand(40);
  window.RunCommand(41);
  window.RunCommand(42);
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0].toString(), "http://maker.test/help/");
  EXPECT_TRUE(opened[1].toString().startsWith("tencent://message/?uin="));
  EXPECT_EQ(opened[2].toString(), "tencent://message/?uin=424242&Menu=yes");

  window.RunCommand(45);
  EXPECT_TRUE(IsFormOpen(QStringLiteral("版权说明")));
  AboutWindow* about = window.findChild<AboutWindow*>();
  if (!about) {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* a = qobject_cast<AboutWindow*>(w)) about = a;
  }
  ASSERT_NE(about, nullptr);
  QTest::mouseClick(about->Picture(), Qt::LeftButton);
  ASSERT_EQ(opened.size(), 4u);
  EXPECT_EQ(opened[3].toString(), "http://maker.test/");
  about->OkButton()->click();
  EXPECT_FALSE(IsFormOpen(QStringLiteral("版权说明")));
  SetUrlOpener(nullptr);
}

TEST_F(MainWindowTest, ShutdownRemovesOnlyResultFiles) {
  QTemporaryDir dir;
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  for (const char* name : {"TempPage_3", "TempPage_3.TMP", "Temp_abc", "Temp_abc.t", "Temp.doc",
                           "mine.txt"}) {
    QFile file(QString::fromLatin1(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  window.show();
  Item("mExit")->trigger();
  EXPECT_FALSE(window.isVisible());
  QStringList left = QDir(dir.path()).entryList(QDir::Files);
  left.sort();
  EXPECT_EQ(left, QStringList({"Temp.doc", "mine.txt"}));
  QDir::setCurrent(previous);
}

TEST_F(MainWindowTest, WindowIsTheActiveProgressDisplay) {
  int start = 0;
  ProgressBegin(QStringLiteral("刷新"), 10, start);
  EXPECT_TRUE(IsFormOpen(QStringLiteral("请稍侯 …")));
  ProgressEnd();
  EXPECT_FALSE(IsFormOpen(QStringLiteral("请稍侯 …")));
}

// The grid view drops its listener from the grid as it goes; the grid was
// freed before it at every exit.
TEST(MainWindowExit, ChildrenGoWhileTheGridTheyReachIsStillThere) {
  struct Token {
    explicit Token(bool* alive) : alive(alive) {}
    ~Token() { *alive = false; }
    bool* alive;
  };
  bool gridAlive = true;
  bool gridAliveWhenChildWent = false;
  {
    MainWindow window;
    window.Grid().SetChangeListener([token = std::make_shared<Token>(&gridAlive)] {});
    auto* child = new QObject(window.GridHost());
    QObject::connect(child, &QObject::destroyed, [&] { gridAliveWhenChildWent = gridAlive; });
  }
  EXPECT_TRUE(gridAliveWhenChildWent);
  EXPECT_FALSE(gridAlive);
}

}  // namespace
}  // namespace quenlo

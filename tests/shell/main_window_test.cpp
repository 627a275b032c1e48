#include "shell/main_window.h"

#include "browser/grid_model.h"
#include "shell/about_window.h"
#include "ports/progress_sink.h"
#include "shell/qt_translation.h"
#include "shell/url_opener.h"
#include "store/settings.h"
#include "widgets/form_helpers.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
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

// Every command that runs an action of its own, in the order of their numbers.
const std::vector<Command> kCommands = {
    Command::HarvestContacts,    Command::DeleteRows,       Command::Refresh,
    Command::ExportAllRecords,   Command::HarvestMemberNames, Command::ExportShownRecords,
    Command::HarvestProfiles,    Command::OpenHelpPage,     Command::ChatWithSupport1,
    Command::ChatWithSupport2,   Command::ShowAbout};

// A window whose every command records that it ran.
struct MainWindowTest : ::testing::Test {
  MainWindow window;
  std::vector<Command> ran;

  void WireAll() {
    for (Command c : kCommands) window.SetCommandAction(c, [this, c] { ran.push_back(c); });
  }
  QPushButton* Button(Command command) { return window.CommandButton(command); }
  QAction* Item(const char* name) { return window.findChild<QAction*>(QString::fromLatin1(name)); }
};

TEST_F(MainWindowTest, CaptionsAndControls) {
  EXPECT_EQ(window.windowTitle(), "Quenlo1.0");
  EXPECT_EQ(window.TabBar()->tabText(0), "企业联系方式");
  EXPECT_EQ(window.TabBar()->tabText(1), "企业介绍");
  EXPECT_EQ(window.TabBar()->count(), 3);
  const std::map<Command, QString> captions = {
      {Command::HarvestContacts, "下载会员地址"},
      {Command::DeleteRows, "删除选定行"},
      {Command::Refresh, "刷新"},
      {Command::ExportAllRecords, "导出所有记录"},
      {Command::HarvestMemberNames, "下载阿里会员名"},
      {Command::ExportShownRecords, "导出显示记录"},
      {Command::OpenHelpPage, "更多帮助…"},
      {Command::ChatWithSupport1, "QQ在线帮助1"},
      {Command::ChatWithSupport2, "QQ在线帮助2"},
      {Command::ShowAbout, "版 权 说 明"}};
  for (const auto& [command, caption] : captions) {
    ASSERT_NE(Button(command), nullptr) << CommandNumber(command);
    EXPECT_EQ(Button(command)->text(), caption);
    const bool onHelpPage = CommandNumber(command) >= 40;
    EXPECT_EQ(window.HelpFrame()->isAncestorOf(Button(command)), onHelpPage);
    EXPECT_EQ(window.ButtonBackColor(command), onHelpPage ? 0u : 12640511u);
  }
  ASSERT_NE(Button(Command::HarvestProfiles), nullptr);
  ASSERT_NE(Button(Command::StopProfileHarvest), nullptr);

  QStringList fields;
  for (int i = 0; i < window.SearchFieldBox()->count(); ++i)
    fields << window.SearchFieldBox()->itemText(i);
  EXPECT_EQ(fields, QStringList({"01:会员编号", "02:公司名称", "03:联系人", "04:手机", "05:电话",
                                 "06:传真", "07:性别", "08:职务", "09:地址", "10:邮编",
                                 "11:网址"}));
  EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "包含");
  EXPECT_EQ(window.StatusLabel()->text(), "已下载会员：");
  const QString manual = window.HelpText()->toPlainText();
  for (const char* topic : {"线程数", "导出", "quenlo members", "DATA.mdb"})
    EXPECT_TRUE(manual.contains(QString::fromUtf8(topic))) << topic;
  EXPECT_NE(window.GridHost()->layout(), nullptr);
}

// Scripts and checks find the controls by these names: they never change.
TEST_F(MainWindowTest, ControlsCarryTheirLongStandingObjectNames) {
  const auto named = [this](const char* name) {
    return window.findChild<QObject*>(QString::fromLatin1(name));
  };
  EXPECT_EQ(window.objectName(), "MF");
  EXPECT_EQ(named("SST"), window.TabStrip());
  EXPECT_EQ(named("Pic0"), window.Page(0));
  EXPECT_EQ(named("Pic1"), window.Page(1));
  EXPECT_EQ(named("SCMB"), window.SearchFieldBox());
  EXPECT_EQ(named("SKey"), window.KeywordEdit());
  EXPECT_EQ(named("MSF"), window.GridHost());
  EXPECT_EQ(named("THelp"), window.HelpText());
  EXPECT_EQ(named("FRM"), window.HelpFrame());
  EXPECT_EQ(named("LBL"), window.StatusLabel());
  for (Command c : kCommands) {
    const QString name = QStringLiteral("Com%1").arg(CommandNumber(c));
    EXPECT_EQ(window.findChild<QPushButton*>(name), Button(c)) << name.toStdString();
  }
  EXPECT_EQ(named("Com11"), Button(Command::StopProfileHarvest));
}

TEST_F(MainWindowTest, ButtonsAndMenuItemsRunTheirCommands) {
  WireAll();
  for (Command c : kCommands) Button(c)->click();
  EXPECT_EQ(ran, kCommands);

  ran.clear();
  const std::vector<std::pair<const char*, Command>> items = {
      {"mDownMember", Command::HarvestMemberNames}, {"mDownAddr", Command::HarvestContacts},
      {"mDeleteRows", Command::DeleteRows},         {"mOutputDispRec", Command::ExportShownRecords},
      {"mOutputAllRec", Command::ExportAllRecords}, {"m_HCom0", Command::OpenHelpPage},
      {"m_HCom1", Command::ChatWithSupport1},       {"m_HCom2", Command::ChatWithSupport2},
      {"m_HCom5", Command::ShowAbout}};
  std::vector<Command> expected;
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
  EXPECT_FALSE(Button(Command::HarvestContacts)->isEnabled());
  EXPECT_FALSE(Button(Command::HarvestContacts)->toolTip().isEmpty());
  EXPECT_FALSE(Item("mDownAddr")->isEnabled());
  EXPECT_FALSE(Button(Command::StopProfileHarvest)->isEnabled());
  EXPECT_TRUE(Button(Command::OpenHelpPage)->isEnabled());  // the shell's own commands
  EXPECT_TRUE(Button(Command::ShowAbout)->isEnabled());
  window.SetCommandAction(Command::HarvestContacts, [] {});
  EXPECT_TRUE(Button(Command::HarvestContacts)->isEnabled());
  EXPECT_TRUE(Button(Command::HarvestContacts)->toolTip().isEmpty());
  EXPECT_TRUE(Item("mDownAddr")->isEnabled());
}

TEST_F(MainWindowTest, StopCaptionTurnsTheCommandIntoAStopRequest) {
  WireAll();
  Button(Command::HarvestMemberNames)->setText(QString::fromUtf8(kStopMembersCaption));
  Item("mDownMember")->trigger();
  EXPECT_FALSE(Button(Command::HarvestMemberNames)->isEnabled());
  Button(Command::HarvestContacts)->setText(QString::fromUtf8(kStopContactsCaption));
  window.RunCommand(Command::HarvestContacts);
  EXPECT_FALSE(Button(Command::HarvestContacts)->isEnabled());
  EXPECT_TRUE(ran.empty());

  QPushButton* stopProfiles = Button(Command::StopProfileHarvest);
  stopProfiles->setEnabled(true);
  stopProfiles->click();
  EXPECT_FALSE(stopProfiles->isEnabled());
}

// A harvest that pumps events until its button is disabled, as the real ones
// do: a press on the stop button (here through the menu) ends it.
TEST_F(MainWindowTest, RunningHarvestIsStoppedByItsOwnCommand) {
  int started = 0;
  QPushButton* button = Button(Command::HarvestMemberNames);
  window.SetCommandAction(Command::HarvestMemberNames, [&] {
    ++started;
    button->setText(QString::fromUtf8(kStopMembersCaption));
    window.SetButtonBackColor(Command::HarvestMemberNames, kStopButtonColor);
    QTimer::singleShot(20, [&] { Item("mDownMember")->trigger(); });
    QElapsedTimer limit;
    limit.start();
    while (button->isEnabled() && limit.elapsed() < 5000) QTest::qWait(5);
    button->setText(QStringLiteral("下载阿里会员名"));
    window.SetButtonBackColor(Command::HarvestMemberNames, kStartButtonColor);
    button->setEnabled(true);
  });
  button->click();
  EXPECT_EQ(started, 1);
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(button->text(), "下载阿里会员名");
  EXPECT_EQ(window.ButtonBackColor(Command::HarvestMemberNames), kStartButtonColor);
}

TEST_F(MainWindowTest, WorkerLimitDialogAsksUntilUsableAndStores) {
  QStringList prompts;
  QStringList answers{"4", "abc", "20"};
  window.SetWorkerLimitAsker([&](const QString& prompt, const QString&) {
    prompts << prompt;
    return answers.takeFirst();
  });
  Item("mSetMaxThread")->trigger();
  ASSERT_EQ(prompts.size(), 3);
  EXPECT_EQ(prompts[0], "请输入线程数（5-50）：");
  // Asked again, the dialog says why the answer was not taken.
  EXPECT_EQ(prompts[1], "“4”不可用：线程数必须是 5 到 50 之间的整数。\n请输入线程数（5-50）：");
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
  EXPECT_EQ(std::count(ran.begin(), ran.end(), Command::Refresh), long(cases.size()));
  EXPECT_EQ(resets, int(cases.size()));
  auto* timer = window.findChild<QTimer*>("NewEditionTimer");
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 10000);
  EXPECT_TRUE(timer->isSingleShot());
  EXPECT_EQ(window.TabBar()->currentIndex(), 0);
}

// The help tab tells it as it is: only 刷新 shows every record.
TEST_F(MainWindowTest, EnterRefreshesOnlyWithAKeywordAsTheManualSays) {
  WireAll();
  window.show();
  QTest::keyClick(window.KeywordEdit(), Qt::Key_Return);
  EXPECT_TRUE(ran.empty());
  window.KeywordEdit()->setText(QStringLiteral("家具"));
  QTest::keyClick(window.KeywordEdit(), Qt::Key_Return);
  EXPECT_EQ(ran, std::vector<Command>{Command::Refresh});
  const QString manual = window.HelpText()->toPlainText();
  EXPECT_TRUE(manual.contains("关键词为空时按“刷新”显示全部记录。在关键词框中按回车也会刷新，但只在关键词不为空时。"));
}

TEST_F(MainWindowTest, FieldBoxSwallowsTyping) {
  window.show();
  QComboBox* fieldBox = window.SearchFieldBox();
  const int before = fieldBox->currentIndex();
  QTest::keyClick(fieldBox, Qt::Key_Down);
  QTest::keyClicks(fieldBox, QStringLiteral("1"));
  EXPECT_EQ(fieldBox->currentIndex(), before);
}

// The profiles' tab stands beside the records'; the help page keeps its name.
TEST_F(MainWindowTest, TabsShowTheirPageOnly) {
  window.show();
  const auto onlyVisible = [this](int page) {
    for (int i = 0; i < 3; ++i)
      if (window.Page(i)->isVisible() != (i == page)) return false;
    return true;
  };
  window.TabBar()->setCurrentIndex(1);
  EXPECT_TRUE(onlyVisible(kProfilesPage));
  EXPECT_EQ(window.Page(kProfilesPage)->objectName(), "Pic2");
  window.TabBar()->setCurrentIndex(2);
  EXPECT_TRUE(onlyVisible(kHelpPage));
  EXPECT_EQ(window.Page(kHelpPage)->objectName(), "Pic1");
  window.ShowPage(kRecordsPage);
  EXPECT_EQ(window.TabBar()->currentIndex(), 0);
  EXPECT_TRUE(onlyVisible(kRecordsPage));
  // As in tabbed windows, Ctrl+PgDown and Ctrl+PgUp go from tab to tab.
  QApplication::setActiveWindow(&window);
  QTest::keyClick(&window, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(window.TabBar()->currentIndex(), 1);
  QTest::keyClick(&window, Qt::Key_PageUp, Qt::ControlModifier);
  QTest::keyClick(&window, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(window.TabBar()->currentIndex(), 2);
}

TEST_F(MainWindowTest, ResizingFitsTheControls) {
  window.show();
  window.resize(ToPixelsX(15000, &window), ToPixelsY(9000, &window));
  QTest::qWait(10);
  const int sstWidthTwips = ToTwipsX(window.TabStrip()->width(), &window);
  EXPECT_NEAR(sstWidthTwips, ToTwipsX(window.frameGeometry().width(), &window) - 220, 30);
  EXPECT_NEAR(window.GridHost()->width(), window.Page(1)->width() + 1, 2);
  EXPECT_GT(window.GridHost()->height(), window.Page(0)->height() / 2);
  EXPECT_GT(window.StatusLabel()->y(), window.TabStrip()->geometry().bottom());
  // Help tab: the manual on the left, the frame of help commands beside it.
  EXPECT_LE(window.HelpText()->geometry().right(), window.HelpFrame()->x());
  EXPECT_LE(window.HelpFrame()->geometry().right(), window.Page(1)->width());
  EXPECT_EQ(window.HelpText()->height(), window.Page(1)->height());

  window.resize(20, 20);  // far too small: the window keeps its minimum size
  QTest::qWait(10);
  EXPECT_EQ(window.size(), window.minimumSize());
  EXPECT_GT(window.GridHost()->height(), 0);
}

// Every control of the layout is whole (none squeezed below the size it asks
// for, none reaching out of its parent) at the smallest size the window takes.
TEST_F(MainWindowTest, AtItsMinimumSizeEveryControlIsWhole) {
  window.show();
  window.resize(1, 1);
  QTest::qWait(10);
  EXPECT_EQ(window.size(), window.minimumSize());
  EXPECT_GT(window.width(), 0);
  std::vector<QWidget*> controls = {window.StatusLabel(), window.TabBar(), window.HelpFrame()};
  for (QWidget* bar : {window.RecordBar(), window.ProfileBar()})
    for (QWidget* child : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      controls.push_back(child);
  for (int tab = 0; tab < window.TabBar()->count(); ++tab) {
    window.TabBar()->setCurrentIndex(tab);
    for (QWidget* control : controls) {
      if (!control->isVisibleTo(&window)) continue;
      const QString name = control->objectName() + " " + control->metaObject()->className();
      // The keyword box may grow; it asks for room for a few words.
      const int wantedWidth = qobject_cast<QLineEdit*>(control) ? control->minimumWidth()
                                                                : control->sizeHint().width();
      EXPECT_GE(control->width(), wantedWidth) << name.toStdString();
      EXPECT_GE(control->height(), control->minimumSizeHint().height()) << name.toStdString();
      EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry())) << name.toStdString();
      const QRect inClient(control->mapTo(window.centralWidget(), QPoint(0, 0)), control->size());
      EXPECT_TRUE(window.centralWidget()->rect().contains(inClient)) << name.toStdString();
    }
  }
  // The grids keep room for their captions and a few rows.
  EXPECT_GE(window.GridHost()->height(), ToPixelsY(2000, &window));
}

TEST_F(MainWindowTest, TheEditMenuUndoesAndCopiesWithTheUsualKeys) {
  WireAll();
  window.SetCommandAction(Command::Undo, [this] { ran.push_back(Command::Undo); });
  window.SetCommandAction(Command::CopyCells, [this] { ran.push_back(Command::CopyCells); });
  EXPECT_EQ(Item("mUndo")->text(), "撤销");
  EXPECT_EQ(Item("mUndo")->shortcut(), QKeySequence(QKeySequence::Undo));
  EXPECT_EQ(Item("mCopy")->text(), "复制");
  EXPECT_EQ(Item("mCopy")->shortcut(), QKeySequence(QKeySequence::Copy));
  window.show();
  QApplication::setActiveWindow(&window);
  window.TabStrip()->setFocus();
  QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
  Item("mCopy")->trigger();
  EXPECT_EQ(ran, (std::vector<Command>{Command::Undo, Command::CopyCells}));
  // In the keyword box the keys keep their usual meaning.
  window.KeywordEdit()->setFocus();
  QTest::keyClick(window.KeywordEdit(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ran.size(), 2u);
}

TEST(QtChineseTranslation, StandardButtonsSpeakChinese) {
  EXPECT_TRUE(QFile::exists(QDir(QtTranslationsDirectory()).filePath("qtbase_zh_CN.qm")))
      << QtTranslationsDirectory().toStdString();
  ASSERT_TRUE(InstallQtChineseTranslation(*qApp));
  QMessageBox box(QMessageBox::Question, "Quenlo", "?", QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "是(&Y)");
  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "取消");
}

TEST_F(MainWindowTest, HelpCommandsOpenTheirAddresses) {
  std::vector<QUrl> opened;
  SetUrlOpener([&](const QUrl& url) { opened.push_back(url); });
  ASSERT_TRUE(SaveSettingValue("Pitrel", "Help", "QQ2", "424242"));
  ASSERT_TRUE(SaveSettingValue("Pitrel", "Maker", "SiteAddress", "maker.test"));
  window.RunCommand(Command::OpenHelpPage);
  window.RunCommand(Command::ChatWithSupport1);
  window.RunCommand(Command::ChatWithSupport2);
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0].toString(), "http://maker.test/help/");
  EXPECT_TRUE(opened[1].toString().startsWith("tencent://message/?uin="));
  EXPECT_EQ(opened[2].toString(), "tencent://message/?uin=424242&Menu=yes");

  window.RunCommand(Command::ShowAbout);
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
    window.RecordGrid().SetChangeListener([token = std::make_shared<Token>(&gridAlive)] {});
    auto* child = new QObject(window.GridHost());
    QObject::connect(child, &QObject::destroyed, [&] { gridAliveWhenChildWent = gridAlive; });
  }
  EXPECT_TRUE(gridAliveWhenChildWent);
  EXPECT_FALSE(gridAlive);
}

}  // namespace
}  // namespace quenlo

// The harvests through the main window's command handler: query window
// answered as a user would, stop-button convention, one harvest at a time,
// the report at the end, real workers and base.
#include "shell/wiring/harvest_wiring.h"

#include "harvest/contact_harvest.h"
#include "harvest/member_harvest.h"
#include "harvest/process_launcher.h"
#include "harvest/query_window.h"
#include "harvest/search_query.h"
#include "shell/main_window.h"
#include "store/harvest_settings.h"
#include "store/settings.h"
#include "tests/harvest/harvest_world.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include <cerrno>
#include <csignal>

namespace quenlo {
namespace {

using testing::HarvestWorld;

// Runs action on the query window as soon as it is shown.
void OnQueryWindow(std::function<void(QueryWindow&)> action) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, action] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* query = qobject_cast<QueryWindow*>(widget);
      if (!query || !query->isVisible() || query->windowTitle() != kQueryWindowCaption) continue;
      poll->stop();
      poll->deleteLater();
      action(*query);
      return;
    }
  });
  poll->start();
}

void Answer(const QString& keyword, const QString& region) {
  OnQueryWindow([keyword, region](QueryWindow& window) {
    window.Keyword()->setText(keyword);
    window.Region()->setCurrentIndex(window.Region()->findText(region));
    window.findChild<QPushButton*>("Com1")->click();
  });
}

// Calls check while the command handler is busy, after delayMs.
void During(int delayMs, std::function<void()> check) { QTimer::singleShot(delayMs, check); }

class HarvestWindowTest : public ::testing::Test {
 protected:
  HarvestWindowTest() : world_(Options()) {
    WireHarvests(window_);
    SetActiveMessenger(&world_.messenger);  // instead of the window's message boxes
    window_.SetWorkerLimit(5);
  }
  static sample_market::MarketplaceOptions Options() {
    sample_market::MarketplaceOptions options;
    options.members = 60;
    options.slow_ms = 1500;
    std::string error;
    EXPECT_TRUE(
        sample_market::ParseFaultPlan("slow@contact:%2,slow@intro:%2", &options.faults, &error));
    return options;
  }
  void ExpectIdle(Command harvest, const QString& caption) {
    EXPECT_EQ(window_.CommandButton(harvest)->text(), caption);
    EXPECT_TRUE(window_.CommandButton(harvest)->isEnabled());
    EXPECT_EQ(window_.ButtonBackColor(harvest), kStartButtonColor);
  }

  HarvestWorld world_;
  MainWindow window_;
};

TEST_F(HarvestWindowTest, QueryWindowRejectsBlankKeywordAndCancelFetchesNothing) {
  OnQueryWindow([this](QueryWindow& window) {
    EXPECT_EQ(window.Keyword()->text(), kDefaultKeyword);  // first opening
    EXPECT_EQ(window.Region()->currentText(), kDefaultRegionEntry);
    window.Keyword()->setText("   ");
    window.Confirm();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Keyword()->text(), "");
    EXPECT_EQ(world_.messenger.messages.value(0), kEmptyKeywordMessage);
    window_.RunCommand(Command::HarvestMemberNames);  // pressed again: no second window
    int open = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
      open += qobject_cast<QueryWindow*>(widget) && widget->isVisible();
    EXPECT_EQ(open, 1);
    window.Cancel();
  });
  window_.RunCommand(Command::HarvestMemberNames);
  EXPECT_TRUE(QueryKeyword().isEmpty());
  EXPECT_EQ(world_.SearchRequests(), 0);
  ExpectIdle(Command::HarvestMemberNames, kMemberStartCaption);
}

TEST_F(HarvestWindowTest, MemberAndContactHarvestsThroughTheirButtons) {
  Answer("hits60", "江浙沪");
  bool sawStopButton = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    sawStopButton |=
        window_.CommandButton(Command::HarvestMemberNames)->text() == kMemberStopCaption &&
        window_.ButtonBackColor(Command::HarvestMemberNames) == kStopButtonColor;
  });
  watch.start(5);
  window_.RunCommand(Command::HarvestMemberNames);
  watch.stop();
  EXPECT_TRUE(sawStopButton);
  ExpectIdle(Command::HarvestMemberNames, kMemberStartCaption);
  EXPECT_EQ(window_.StatusLabel()->text(), "已下载会员数：60（读取 2 页，重试 0 页，失败 0 页）");
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "AName").size(), 60);
  EXPECT_EQ(QueryRegionValue(), "%BD%AD%CB%D5%2C%D5%E3%BD%AD%2C%C9%CF%BA%A3");

  // Reopening shows the remembered query.
  OnQueryWindow([](QueryWindow& window) {
    EXPECT_EQ(window.Keyword()->text(), "hits60");
    EXPECT_EQ(window.Region()->currentText(), "江浙沪");
    window.Cancel();
  });
  window_.RunCommand(Command::HarvestMemberNames);
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "AName").size(), 60);

  // Pressing the contact button again while it runs only asks it to stop.
  During(300, [this] {
    EXPECT_EQ(window_.CommandButton(Command::HarvestContacts)->text(), kContactStopCaption);
    window_.RunCommand(Command::HarvestContacts);
    EXPECT_FALSE(window_.CommandButton(Command::HarvestContacts)->isEnabled());
  });
  window_.RunCommand(Command::HarvestContacts);
  ExpectIdle(Command::HarvestContacts, kContactStartCaption);
  const int left = LoadContactWorkList().size();
  EXPECT_GE(left, 30);  // the slow half was not waited for
  EXPECT_LT(left, 60);

  window_.RunCommand(Command::HarvestContacts);
  ExpectIdle(Command::HarvestContacts, kContactStartCaption);
  EXPECT_TRUE(LoadContactWorkList().isEmpty());
  EXPECT_EQ(window_.StatusLabel()->text(),
            QStringLiteral("已下载会员地址数：%1（读取 %1 页，重试 0 页，失败 0 页）").arg(left));
}

// With the marketplace out of reach the user is told that nothing was read,
// and which pages failed and why, for both harvests (no retries set).
TEST_F(HarvestWindowTest, HarvestsThatReadNoPageSaySoAndNameThePages) {
  ASSERT_TRUE(SaveSettingValue(kSettingsApplication, kSettingsSection, kRetriesKey, "0"));
  Answer("hits10", "所有省份");
  window_.RunCommand(Command::HarvestMemberNames);
  const QByteArray mainHost = qgetenv("QUENLO_MAIN_HOST");
  qputenv("QUENLO_MAIN_HOST", "127.0.0.1:1");
  window_.RunCommand(Command::HarvestContacts);
  window_.RunCommand(Command::HarvestProfiles);
  qputenv("QUENLO_MAIN_HOST", mainHost);
  const QStringList& shown = world_.messenger.messages;
  ASSERT_EQ(shown.size(), 4);
  for (int i : {0, 2}) {
    EXPECT_EQ(shown[i], kNoPageReadMessage);
    EXPECT_TRUE(shown[i + 1].startsWith("有 10 页未能下载")) << shown[i + 1].toStdString();
    EXPECT_TRUE(shown[i + 1].contains("Connection refused, still failing after 1 try"))
        << shown[i + 1].toStdString();
    EXPECT_TRUE(shown[i + 1].contains("详见下载日志："));
  }
  EXPECT_TRUE(window_.StatusLabel()->text().endsWith("（读取 0 页，重试 0 页，失败 10 页）"));
  window_.RunCommand(Command::HarvestContacts);
  EXPECT_EQ(shown.size(), 4);  // pages read: nothing more to say
  ASSERT_TRUE(SaveSettingValue(kSettingsApplication, kSettingsSection, kRetriesKey, ""));
}

// While one harvest runs, the other two cannot start: their buttons and menu
// items are disabled with their usual captions and say why; the running
// one's stop button still works, and afterwards all are as before.
TEST_F(HarvestWindowTest, ASecondHarvestCannotStartBesideARunningOne) {
  Answer("hits20", "所有省份");
  window_.RunCommand(Command::HarvestMemberNames);
  const int searches = world_.SearchRequests();
  auto menuItem = [this](const char* name) { return window_.findChild<QAction*>(name); };
  bool checked = false;
  During(300, [&] {
    for (Command other : {Command::HarvestMemberNames, Command::HarvestProfiles}) {
      EXPECT_FALSE(window_.CommandButton(other)->isEnabled());
      EXPECT_FALSE(window_.CommandButton(other)->toolTip().isEmpty());
    }
    EXPECT_EQ(window_.CommandButton(Command::HarvestMemberNames)->text(), kMemberStartCaption);
    EXPECT_EQ(window_.CommandButton(Command::HarvestProfiles)->text(), "下载企业介绍");
    EXPECT_FALSE(menuItem("mDownMember")->isEnabled());
    EXPECT_TRUE(menuItem("mDownAddr")->isEnabled());  // the running one: it stops
    window_.RunCommand(Command::HarvestMemberNames);  // as a key or a script would
    window_.RunCommand(Command::HarvestProfiles);
    EXPECT_FALSE(window_.CommandButton(Command::StopProfileHarvest)->isEnabled());
    menuItem("mDownAddr")->trigger();  // the stop
    checked = true;
  });
  window_.RunCommand(Command::HarvestContacts);
  EXPECT_TRUE(checked);
  EXPECT_EQ(world_.SearchRequests(), searches);  // no member search began
  EXPECT_EQ(HarvestWorld::Column(kProfileTable, "AName", "Intro<>''").size(), 0);
  EXPECT_GT(LoadContactWorkList().size(), 0);  // stopped before its slow pages
  ExpectIdle(Command::HarvestContacts, kContactStartCaption);
  ExpectIdle(Command::HarvestMemberNames, kMemberStartCaption);
  EXPECT_TRUE(window_.CommandButton(Command::HarvestProfiles)->isEnabled());
  EXPECT_TRUE(window_.CommandButton(Command::HarvestProfiles)->toolTip().isEmpty());
  EXPECT_TRUE(menuItem("mDownMember")->isEnabled());
}

bool ProcessGone(qint64 pid) { return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

// Closing the window ends the workers still fetching, at once.
TEST_F(HarvestWindowTest, ClosingTheWindowEndsTheWorkersStillRunning) {
  Answer("hits20", "所有省份");
  window_.RunCommand(Command::HarvestMemberNames);
  window_.show();
  QList<qint64> workers;
  During(800, [&] {
    workers = window_.findChild<ProcessLauncher*>()->RunningProcessIds();
    window_.close();
  });
  window_.RunCommand(Command::HarvestContacts);
  ASSERT_FALSE(workers.isEmpty());
  for (qint64 pid : workers) EXPECT_TRUE(ProcessGone(pid)) << pid;
  EXPECT_TRUE(world_.WorkFiles().isEmpty()) << world_.WorkFiles().join(" ").toStdString();
}

// A member search that finds no one, or cannot reach the search page, says
// so in the window as the command line does; one that finds members says nothing.
TEST_F(HarvestWindowTest, AMemberSearchWithoutHitsOrSearchPageSaysSo) {
  Answer("hits0", "所有省份");
  window_.RunCommand(Command::HarvestMemberNames);
  ASSERT_EQ(world_.messenger.messages.size(), 1);
  EXPECT_TRUE(world_.messenger.messages[0].startsWith(QStringLiteral("没有找到会员：")))
      << world_.messenger.messages[0].toStdString();
  Answer("hits3", "所有省份");
  window_.RunCommand(Command::HarvestMemberNames);
  EXPECT_EQ(world_.messenger.messages.size(), 1);

  const QByteArray searchHost = qgetenv("QUENLO_SEARCH_HOST");
  qputenv("QUENLO_SEARCH_HOST", "127.0.0.1:1");
  Answer("hits3", "所有省份");
  window_.RunCommand(Command::HarvestMemberNames);
  qputenv("QUENLO_SEARCH_HOST", searchHost);
  // An unreachable search is a failed page, named with its reason.
  ASSERT_EQ(world_.messenger.messages.size(), 2);
  EXPECT_TRUE(world_.messenger.messages[1].contains(QStringLiteral("搜索结果第 1 页")))
      << world_.messenger.messages[1].toStdString();
  EXPECT_TRUE(world_.messenger.messages[1].contains(QStringLiteral("127.0.0.1")))
      << world_.messenger.messages[1].toStdString();
}

TEST_F(HarvestWindowTest, ProfileHarvestStartsAndStopsThroughItsTwoCommands) {
  Answer("hits20", "所有省份");
  window_.RunCommand(Command::HarvestMemberNames);
  ASSERT_EQ(HarvestWorld::Column(kProfileTable, "AName").size(), 20);

  During(300, [this] {
    EXPECT_FALSE(window_.CommandButton(Command::HarvestProfiles)->isEnabled());
    EXPECT_TRUE(window_.CommandButton(Command::StopProfileHarvest)->isEnabled());
    window_.RunCommand(Command::StopProfileHarvest);
  });
  window_.RunCommand(Command::HarvestProfiles);
  EXPECT_TRUE(window_.CommandButton(Command::HarvestProfiles)->isEnabled());
  EXPECT_FALSE(window_.CommandButton(Command::StopProfileHarvest)->isEnabled());
  EXPECT_GE(HarvestWorld::Column(kProfileTable, "AName", "Intro=''").size(), 10);

  window_.RunCommand(Command::HarvestProfiles);
  const int directoryEntries = HarvestWorld::Column(kProfileTable, "AName", "Intro=''").size();
  int expected = 0;
  for (int k = 1; k <= 20; ++k)
    expected +=
        world_.market.catalogue().at(k).profile_form == sample_market::ProfileForm::kDirectoryEntry;
  EXPECT_EQ(directoryEntries, expected);
}

}  // namespace
}  // namespace quenlo

// The harvests through the main window's command handler: query window
// answered as a user would, stop-button convention, real workers and base.
#include "shell/wiring/harvest_wiring.h"

#include "harvest/contact_harvest.h"
#include "harvest/member_harvest.h"
#include "harvest/query_window.h"
#include "harvest/search_query.h"
#include "shell/main_window.h"
#include "tests/harvest/harvest_world.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

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
    EXPECT_TRUE(sample_market::ParseFaultPlan("slow@contact:%2,slow@intro:%2", &options.faults, &error));
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
    sawStopButton |= window_.CommandButton(Command::HarvestMemberNames)->text() == kMemberStopCaption &&
                     window_.ButtonBackColor(Command::HarvestMemberNames) == kStopButtonColor;
  });
  watch.start(5);
  window_.RunCommand(Command::HarvestMemberNames);
  watch.stop();
  EXPECT_TRUE(sawStopButton);
  ExpectIdle(Command::HarvestMemberNames, kMemberStartCaption);
  EXPECT_EQ(window_.StatusLabel()->text(), "已下载会员数：60");
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
  EXPECT_EQ(window_.StatusLabel()->text(), QStringLiteral("已下载会员地址数：%1").arg(left));
}

// With the marketplace out of reach every page still gives its worker's
// empty result: the user is told that nothing was read, for both harvests.
TEST_F(HarvestWindowTest, HarvestsThatReadNoPageSaySo) {
  Answer("hits10", "所有省份");
  window_.RunCommand(Command::HarvestMemberNames);
  const QByteArray mainHost = qgetenv("QUENLO_MAIN_HOST");
  qputenv("QUENLO_MAIN_HOST", "127.0.0.1:1");
  window_.RunCommand(Command::HarvestContacts);
  window_.RunCommand(Command::HarvestProfiles);
  qputenv("QUENLO_MAIN_HOST", mainHost);
  EXPECT_EQ(world_.messenger.messages, QStringList({kNoPageReadMessage, kNoPageReadMessage}));
  window_.RunCommand(Command::HarvestContacts);
  EXPECT_EQ(world_.messenger.messages.size(), 2);  // pages read: nothing more to say
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
  ASSERT_EQ(world_.messenger.messages.size(), 2);
  EXPECT_TRUE(world_.messenger.messages[1].contains(QStringLiteral("127.0.0.1:1")))
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
    expected += world_.market.catalogue().at(k).profile_form == sample_market::ProfileForm::kDirectoryEntry;
  EXPECT_EQ(directoryEntries, expected);
}

}  // namespace
}  // namespace quenlo

#include "shell/wiring/harvest_wiring.h"

#include "harvest/contact_harvest.h"
#include "harvest/member_harvest.h"
#include "harvest/process_launcher.h"
#include "harvest/profile_harvest.h"
#include "harvest/query_window.h"
#include "harvest/search_query.h"
#include "ports/messenger.h"
#include "shell/main_window.h"
#include "store/marketplace_settings.h"

#include <QLabel>
#include <QPushButton>

namespace quenlo {

namespace {

// Hooks shared by the three harvests; the stop signal and running indicator
// are set per harvest.
HarvestHooks WindowHooks(MainWindow& window, ProcessLauncher* launcher) {
  HarvestHooks hooks;
  hooks.launcher = launcher;
  hooks.workerLimit = [&window] { return window.WorkerLimit(); };
  hooks.showStatus = [&window](const QString& text) { window.StatusLabel()->setText(text); };
  return hooks;
}

// The command's start button turns into its stop button while the harvest runs.
void UseStopButton(HarvestHooks& hooks, MainWindow& window, Command command, const QString& start,
                   const QString& stop) {
  QPushButton* button = window.CommandButton(command);
  hooks.stopRequested = [button] { return button && !button->isEnabled(); };
  hooks.enterRunning = [&window, button, command, stop] {
    if (!button) return;
    button->setText(stop);
    window.SetButtonBackColor(command, kStopButtonColor);
  };
  hooks.leaveRunning = [&window, button, command, start] {
    if (!button) return;
    button->setText(start);
    window.SetButtonBackColor(command, kStartButtonColor);
    button->setEnabled(true);
  };
}

QString NoMembersFoundText() {
  return QStringLiteral("没有找到会员：搜索结果为空，或者无法打开搜索页面（%1）。")
      .arg(MarketplaceHostsInForce().search);
}

void RunMemberHarvest(MainWindow& window, ProcessLauncher* launcher) {
  // A second press while the query is being asked for shows that window
  // again rather than opening another for the same search.
  if (RaiseOpenQueryWindow()) return;
  AskSearchQuery();
  HarvestHooks hooks = WindowHooks(window, launcher);
  UseStopButton(hooks, window, Command::HarvestMemberNames, kMemberStartCaption, kMemberStopCaption);
  const MemberHarvestOutcome outcome = HarvestMemberNames(QueryKeyword(), QueryRegionValue(), hooks);
  // As the command line does: a page that could not be loaded reads as no hits.
  if (!QueryKeyword().isEmpty() && outcome.end == HarvestEnd::Finished && outcome.pages == 0)
    ShowMessage(NoMembersFoundText());
}

void RunContactHarvest(MainWindow& window, ProcessLauncher* launcher) {
  HarvestHooks hooks = WindowHooks(window, launcher);
  UseStopButton(hooks, window, Command::HarvestContacts, kContactStartCaption, kContactStopCaption);
  HarvestContacts(hooks);
}

// HarvestProfiles starts, StopProfileHarvest (which disables itself) asks to stop.
void RunProfileHarvest(MainWindow& window, ProcessLauncher* launcher) {
  HarvestHooks hooks = WindowHooks(window, launcher);
  QPushButton* start = window.CommandButton(Command::HarvestProfiles);
  QPushButton* stop = window.CommandButton(Command::StopProfileHarvest);
  hooks.stopRequested = [stop] { return stop && !stop->isEnabled(); };
  hooks.enterRunning = [start, stop] {
    if (start) start->setEnabled(false);
    if (stop) stop->setEnabled(true);
  };
  hooks.leaveRunning = [start, stop] {
    if (start) start->setEnabled(true);
    if (stop) stop->setEnabled(false);
  };
  HarvestProfiles(hooks);
}

}  // namespace

void WireHarvests(MainWindow& window) {
  // One launcher for the window's life, so that workers of a stopped harvest
  // run on and a later harvest still sees them end.
  auto* launcher = new ProcessLauncher;
  launcher->setParent(&window);
  // After each harvest the grids show what it stored.
  window.SetCommandAction(Command::HarvestMemberNames, [&window, launcher] {
    RunMemberHarvest(window, launcher);
    emit window.StoredRecordsChanged();
  });
  window.SetCommandAction(Command::HarvestContacts, [&window, launcher] {
    RunContactHarvest(window, launcher);
    emit window.StoredRecordsChanged();
  });
  window.SetCommandAction(Command::HarvestProfiles, [&window, launcher] {
    RunProfileHarvest(window, launcher);
    emit window.StoredRecordsChanged();
  });
}

}  // namespace quenlo

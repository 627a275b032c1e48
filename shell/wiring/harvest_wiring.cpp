#include "shell/wiring/harvest_wiring.h"

#include "harvest/contact_harvest.h"
#include "harvest/harvest_log.h"
#include "harvest/harvest_report.h"
#include "harvest/member_harvest.h"
#include "harvest/process_launcher.h"
#include "harvest/profile_harvest.h"
#include "harvest/query_window.h"
#include "harvest/search_query.h"
#include "ports/messenger.h"
#include "shell/main_window.h"
#include "store/harvest_settings.h"
#include "store/marketplace_settings.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <memory>

namespace quenlo {

namespace {

constexpr Command kHarvestCommands[] = {Command::HarvestMemberNames, Command::HarvestContacts,
                                        Command::HarvestProfiles};
const QString kAnotherHarvestRuns = QStringLiteral("另一项下载正在进行：请等它结束，或先中止它。");

// The window's harvests share one launcher, and run one at a time: while one
// runs (the member search from its query window on), the others are held.
struct WindowHarvests {
  MainWindow& window;
  ProcessLauncher* launcher;
  bool closing = false;  // no message box pops up over a window going away
};

class OneHarvestAtATime {
 public:
  OneHarvestAtATime(MainWindow& window, Command running) : window_(window), running_(running) {
    Hold(true);
  }
  ~OneHarvestAtATime() { Hold(false); }
  OneHarvestAtATime(const OneHarvestAtATime&) = delete;
  OneHarvestAtATime& operator=(const OneHarvestAtATime&) = delete;

 private:
  void Hold(bool held) {
    for (Command other : kHarvestCommands)
      if (other != running_) window_.HoldCommand(other, held, kAnotherHarvestRuns);
  }
  MainWindow& window_;
  Command running_;
};

// Workers still running when the window closes are ended with it.
class StopWorkersOnClose final : public QObject {
 public:
  StopWorkersOnClose(std::shared_ptr<WindowHarvests> harvests, QObject* parent)
      : QObject(parent), harvests_(std::move(harvests)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Close) return false;
    harvests_->closing = true;
    harvests_->launcher->StopAll();
    return false;
  }

 private:
  std::shared_ptr<WindowHarvests> harvests_;
};

// Hooks shared by the three harvests; the stop signal and running indicator
// are set per harvest. Retries, delay and page cap are read anew each time.
HarvestHooks WindowHooks(MainWindow& window, ProcessLauncher* launcher) {
  HarvestHooks hooks;
  hooks.launcher = launcher;
  hooks.workerLimit = [&window] { return window.WorkerLimit(); };
  hooks.showStatus = [&window](const QString& text) { window.StatusLabel()->setText(text); };
  ApplyHarvestSettings(hooks, StoredHarvestSettings());
  return hooks;
}

// The pages read, retried and failed join the harvest's count; the failed
// ones are named in a message, unless the window is closing.
void ReportPages(const WindowHarvests& harvests, const HarvestTally& tally) {
  QLabel* label = harvests.window.StatusLabel();
  label->setText(label->text() + QStringLiteral("（") + TallyText(tally) + QStringLiteral("）"));
  const QString failed = FailedPagesMessage(tally, HarvestLogPath());
  if (!failed.isEmpty() && !harvests.closing) ShowMessage(failed);
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

void RunMemberHarvest(WindowHarvests& harvests) {
  // A second press while the query is being asked for shows that window
  // again rather than opening another for the same search.
  if (RaiseOpenQueryWindow()) return;
  MainWindow& window = harvests.window;
  OneHarvestAtATime alone(window, Command::HarvestMemberNames);
  AskSearchQuery();
  HarvestHooks hooks = WindowHooks(window, harvests.launcher);
  UseStopButton(hooks, window, Command::HarvestMemberNames, kMemberStartCaption,
                kMemberStopCaption);
  const QString keyword = QueryKeyword();
  const MemberHarvestOutcome outcome = HarvestMemberNames(keyword, QueryRegionValue(), hooks);
  if (keyword.isEmpty() || outcome.end == HarvestEnd::WorkerMissing) return;
  // A search that failed is named among the failed pages; one that found no one says so.
  if (outcome.end == HarvestEnd::Finished && outcome.pages == 0 && outcome.tally.Complete())
    ShowMessage(NoMembersFoundText());
  else ReportPages(harvests, outcome.tally);
}

void RunContactHarvest(WindowHarvests& harvests) {
  MainWindow& window = harvests.window;
  OneHarvestAtATime alone(window, Command::HarvestContacts);
  HarvestHooks hooks = WindowHooks(window, harvests.launcher);
  UseStopButton(hooks, window, Command::HarvestContacts, kContactStartCaption, kContactStopCaption);
  const ContactHarvestOutcome outcome = HarvestContacts(hooks);
  if (outcome.members > 0 && outcome.end != HarvestEnd::WorkerMissing)
    ReportPages(harvests, outcome.tally);
}

// HarvestProfiles starts, StopProfileHarvest (which disables itself) asks to stop.
void RunProfileHarvest(WindowHarvests& harvests) {
  MainWindow& window = harvests.window;
  OneHarvestAtATime alone(window, Command::HarvestProfiles);
  HarvestHooks hooks = WindowHooks(window, harvests.launcher);
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
  const ProfileHarvestOutcome outcome = HarvestProfiles(hooks);
  if (outcome.members > 0 && outcome.end != HarvestEnd::WorkerMissing)
    ReportPages(harvests, outcome.tally);
}

}  // namespace

void WireHarvests(MainWindow& window) {
  // One launcher for the window's life; a harvest that ends, however it
  // ends, leaves none of its workers running.
  auto* launcher = new ProcessLauncher;
  launcher->setParent(&window);
  auto harvests = std::make_shared<WindowHarvests>(WindowHarvests{window, launcher});
  window.installEventFilter(new StopWorkersOnClose(harvests, launcher));
  // After each harvest the grids show what it stored.
  const auto run = [harvests](void (*harvest)(WindowHarvests&)) {
    return [harvests, harvest] {
      harvest(*harvests);
      emit harvests->window.StoredRecordsChanged();
    };
  };
  window.SetCommandAction(Command::HarvestMemberNames, run(RunMemberHarvest));
  window.SetCommandAction(Command::HarvestContacts, run(RunContactHarvest));
  window.SetCommandAction(Command::HarvestProfiles, run(RunProfileHarvest));
}

}  // namespace quenlo

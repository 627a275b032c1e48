#include "harvest/dispatch_pass.h"

#include "harvest/result_file.h"
#include "harvest/wait_ticks.h"
#include "harvest/worker_launcher.h"
#include "ports/progress_sink.h"

#include <QFile>

namespace quenlo {

Dispatcher::Dispatcher(DispatchRules rules, UnitSource units, DispatchTable& table,
                       HarvestHooks& hooks, StoreResult store)
    : rules_(rules), units_(std::move(units)), table_(table), hooks_(hooks),
      store_(std::move(store)) {}

HarvestEnd Dispatcher::Run() {
  while (Pass()) {
  }
  return stopped_ ? HarvestEnd::Stopped : HarvestEnd::Finished;
}

bool Dispatcher::Pass() {
  if (table_.AllCollected()) return false;
  if (rules_.stopTestFirst && hooks_.stopRequested()) {
    stopped_ = true;
    return false;
  }
  LaunchPhase();

  bool collectedAny = false;
  int lastScanned = table_.Low() - 1;
  for (int unit = table_.Low(); unit <= table_.ScanEnd(); ++unit) {
    lastScanned = unit;
    if (table_.State(unit) != UnitState::Launched || !TryCollect(unit)) continue;
    collectedAny = true;
    if (rules_.oneResultPerPass) break;
  }
  table_.AdvanceLow(lastScanned);

  // A pass that collected freed slots (and in one-per-pass mode may have left
  // results waiting): the next pass comes at once, after pumping events.
  WaitTicks(collectedAny ? 0 : rules_.passPauseTicks, [this] { return Wake(); });
  if (!rules_.stopTestFirst && hooks_.stopRequested()) {
    stopped_ = true;
    return false;
  }
  return !table_.AllCollected();
}

void Dispatcher::LaunchPhase() {
  while (table_.CanLaunch(hooks_.workerLimit())) {
    const WorkUnit unit = units_(table_.Next());
    if (rules_.deleteStaleFile && QFile::exists(unit.resultFile)) QFile::remove(unit.resultFile);
    hooks_.launcher->Launch(unit.argument, unit.resultFile, rules_.workerFlag);
    table_.LaunchNext();
  }
}

bool Dispatcher::TryCollect(int unit) {
  const QString file = units_(unit).resultFile;
  // A unit holds its place until its worker is gone, so no more than the
  // limit of workers ever run. The worker renames its result into place just
  // before it exits: once it has ended, the file is there or never will be.
  if (!hooks_.launcher->HasEnded(file)) return false;
  if (ResultReady(file)) {
    WaitTicks(rules_.readPauseTicks);
    store_(unit, ReadResultFile(file, true));
  }
  table_.Collect(unit);
  ProgressStep(1, QStringLiteral("pages"));
  if (onCollected_) onCollected_(table_.Collected());
  return true;
}

bool Dispatcher::Wake() { return hooks_.launcher->TakeEndNotice() || hooks_.stopRequested(); }

}  // namespace quenlo

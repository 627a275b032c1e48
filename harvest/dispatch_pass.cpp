#include "harvest/dispatch_pass.h"

#include "harvest/page_failure.h"
#include "harvest/result_file.h"
#include "harvest/store_failures.h"
#include "harvest/wait_ticks.h"
#include "harvest/worker_launcher.h"
#include "ports/progress_sink.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace quenlo {

namespace {

const std::string kEndedWithoutResult =
    "the worker ended without a result (stopped at its limits or crashed)";

bool AsksToSlowDown(const pitrel::PageFailure& failure) {
  return failure.status == 429 || failure.status == 503;
}

QString ShownPage(int unit, const WorkUnit& work) {
  return work.member.isEmpty() ? QStringLiteral("搜索结果第 %1 页").arg(unit) : work.member;
}

}  // namespace

Dispatcher::Dispatcher(DispatchRules rules, UnitSource units, DispatchTable& table,
                       HarvestHooks& hooks, StoreResult store)
    : rules_(rules),
      units_(std::move(units)),
      table_(table),
      hooks_(hooks),
      store_(std::move(store)),
      pacer_(hooks.delay, hooks.jitter) {}

HarvestEnd Dispatcher::Run() {
  while (Pass()) {
  }
  return end_.value_or(HarvestEnd::Finished);
}

bool Dispatcher::Pass() {
  if (end_ || table_.AllCollected()) return false;
  if (rules_.stopTestFirst && hooks_.stopRequested()) return End(HarvestEnd::Stopped);
  LaunchPhase();

  bool collectedAny = false;
  int lastScanned = table_.Low() - 1;
  for (int unit = table_.Low(); unit <= table_.ScanEnd() && !end_; ++unit) {
    lastScanned = unit;
    if (table_.State(unit) != UnitState::Launched || !TryCollect(unit)) continue;
    collectedAny = true;
    if (rules_.oneResultPerPass) break;
  }
  table_.AdvanceLow(lastScanned);
  if (end_) return End(*end_);

  // A pass that collected freed slots (and in one-per-pass mode may have left
  // results waiting): the next pass comes at once, after pumping events.
  WaitTicks(PauseTicks(collectedAny), [this] { return Wake(); });
  if (!rules_.stopTestFirst && hooks_.stopRequested()) return End(HarvestEnd::Stopped);
  return !table_.AllCollected();
}

bool Dispatcher::End(HarvestEnd end) {
  end_ = end;
  hooks_.launcher->StopAll();
  // Pages whose workers ended but were not taken go too: a later run would
  // take a profile's as its member's.
  for (int unit = table_.Low(); unit <= table_.ScanEnd(); ++unit)
    if (table_.State(unit) == UnitState::Launched) RemoveWorkerFiles(units_(unit).resultFile);
  return false;
}

void Dispatcher::LaunchPhase() {
  launchDue_.reset();
  while (!hooks_.stopRequested() && table_.HasRoom(hooks_.workerLimit())) {
    const PacingTime now = PacingClock::now();
    const std::optional<int> unit = NextToLaunch(now);
    if (!unit) return;
    const WorkUnit work = units_(*unit);
    if (const PacingTime allowed = pacer_.NextStart(work.host); allowed > now) {
      launchDue_ = allowed;
      return;
    }
    pacer_.Started(work.host, now);
    Launch(*unit, work);
  }
}

std::optional<int> Dispatcher::NextToLaunch(PacingTime now) const {
  const auto earliest =
      std::min_element(waiting_.begin(), waiting_.end(),
                       [](const auto& a, const auto& b) { return a.second < b.second; });
  if (earliest != waiting_.end() && earliest->second <= now) return earliest->first;
  if (table_.Next() <= table_.Units()) return table_.Next();
  return std::nullopt;
}

void Dispatcher::Launch(int unit, const WorkUnit& work) {
  if (rules_.deleteStaleFile && QFile::exists(work.resultFile)) QFile::remove(work.resultFile);
  (void)TakePageFailure(work.resultFile);  // a stale companion would fail this try
  hooks_.launcher->Launch(work.argument, work.resultFile, rules_.workerFlag);
  if (waiting_.erase(unit)) table_.Relaunch(unit);
  else table_.LaunchNext();
}

bool Dispatcher::TryCollect(int unit) {
  // A stop may already have ended the workers: what they left means nothing.
  if (hooks_.stopRequested()) return false;
  const WorkUnit work = units_(unit);
  // A unit holds its place until its worker is gone, so no more than the
  // limit of workers ever run. The worker renames its companion and then its
  // result into place just before it exits: once it has ended, they are
  // there or never will be.
  if (!hooks_.launcher->HasEnded(work.resultFile)) return false;
  std::optional<pitrel::PageFailure> failure = TakePageFailure(work.resultFile);
  const bool hasResult = ResultReady(work.resultFile);
  if (!failure && !hasResult) {
    const std::optional<int> exit = hooks_.launcher->ExitStatus(work.resultFile);
    // A worker that ended by itself always leaves a result: without one, it
    // could not write into the work folder.
    if (exit && *exit != pitrel::kExitBadCommandLine) {
      ReportWorkFolderFailure(tally_, QDir::currentPath());
      end_ = HarvestEnd::StoreFailed;
      return true;
    }
    failure = pitrel::PageFailure{false, 0, std::nullopt, kEndedWithoutResult};
  }
  if (failure) {
    if (hasResult) QFile::remove(work.resultFile);
    RetryOrFail(unit, work, *failure);
  } else {
    Keep(unit, work);
  }
  return true;
}

void Dispatcher::RetryOrFail(int unit, const WorkUnit& work, const pitrel::PageFailure& failure) {
  const PacingTime now = PacingClock::now();
  if (AsksToSlowDown(failure)) pacer_.Overloaded(work.host, now);
  int& retries = retriesDone_[unit];
  const RetryDecision decision = DecideRetry(hooks_.retry, failure, retries, hooks_.jitter());
  if (decision.retry) {
    tally_.retriedPages += retries == 0;
    ++tally_.retries;
    ++retries;
    waiting_[unit] = now + decision.wait;
    table_.Requeue(unit);
    return;
  }
  tally_.failed.push_back(
      {work.member.isEmpty() ? unit : 0, work.member, work.argument, failure, decision.why});
  Done(unit);
}

void Dispatcher::Keep(int unit, const WorkUnit& work) {
  WaitTicks(rules_.readPauseTicks);
  const QString text = ReadResultFile(work.resultFile, true);
  ++tally_.read;
  if (const DbStatus kept = store_(unit, text); !kept.Ok()) {
    ReportStoreFailure(tally_, ShownPage(unit, work), kept);
    end_ = HarvestEnd::StoreFailed;
    return;
  }
  Done(unit);
}

void Dispatcher::Done(int unit) {
  table_.Collect(unit);
  ProgressStep(1, QStringLiteral("pages"));
  if (onCollected_) onCollected_(table_.Collected());
}

int Dispatcher::PauseTicks(bool collectedAny) const {
  if (collectedAny) return 0;
  std::optional<PacingTime> due = launchDue_;
  // A waiting page can start only in a free slot; while none is free, a
  // worker's end wakes the pass, not the page's time.
  if (table_.HasRoom(hooks_.workerLimit()))
    for (const auto& [unit, at] : waiting_) due = due ? std::min(*due, at) : at;
  if (!due) return rules_.passPauseTicks;
  // Wake when a waiting page or a held-back start is due, not a pause later.
  const auto left = std::chrono::ceil<std::chrono::microseconds>(*due - PacingClock::now());
  const long long ticks = std::max<long long>(0, left.count() / kTickMicroseconds + 1);
  return int(std::min<long long>(ticks, rules_.passPauseTicks));
}

bool Dispatcher::Wake() { return hooks_.launcher->TakeEndNotice() || hooks_.stopRequested(); }

}  // namespace quenlo

// The dispatch pass shared by the three harvests: launch units in order under
// the worker limit and the host's pacing, collect their results in unit
// order as they become ready, pause, repeat.
//
// A page the worker could not read (worker/protocol.h, "Failures") is tried
// again as the retry policy says, waiting without a worker slot, or fails
// for good into the tally; so does a unit whose worker ended without a
// result, so no slot is held for ever. A stop ends the workers still
// running. Results that cannot be kept (the store refuses them, the work
// folder takes no more files) end the run at once in the same way, so that
// nothing more is fetched in vain.
#pragma once

#include "harvest/dispatch_table.h"
#include "harvest/harvest_hooks.h"
#include "harvest/harvest_tally.h"
#include "harvest/host_pacing.h"
#include "store/db_status.h"

#include <QString>
#include <functional>
#include <map>
#include <optional>

namespace quenlo {

struct WorkUnit {
  QString argument;    // the page address, or the member name for profiles
  QString resultFile;  // relative to the current directory
  QString host;        // page starts are paced per host
  QString member;      // whose page it is; empty for a search page (the unit is its number)
};

// Where the three harvests differ.
struct DispatchRules {
  int workerFlag = 0;
  bool deleteStaleFile = true;  // remove a file of the unit's name before its launch
  bool stopTestFirst = false;   // stop test at the start of a pass, else after its pause
  bool oneResultPerPass = false;
  int readPauseTicks = -1;  // extra pause before reading a result (-1: none)
  int passPauseTicks = 500;
};

// The work unit of a number (from 1); asked for when the unit is launched or
// collected, so a long search needs no list of all its pages.
using UnitSource = std::function<WorkUnit(int unit)>;
// Keeps the result text of a page that was read; a failure ends the run.
using StoreResult = std::function<DbStatus(int unit, const QString& text)>;

class Dispatcher {
 public:
  // The units are those of table, numbered from 1.
  Dispatcher(DispatchRules rules, UnitSource units, DispatchTable& table, HarvestHooks& hooks,
             StoreResult store);

  // One pass. False when the run is over: all collected, stopped, or results
  // could not be kept.
  bool Pass();
  // Passes until the run is over.
  HarvestEnd Run();
  bool Stopped() const { return end_ == HarvestEnd::Stopped; }
  const HarvestTally& Tally() const { return tally_; }
  // Called after every unit done with (read, failed for good or left empty).
  void OnCollected(std::function<void(int collected)> callback) {
    onCollected_ = std::move(callback);
  }

 private:
  void LaunchPhase();
  // The unit to launch next: a waiting one whose time has come, else a new one.
  std::optional<int> NextToLaunch(PacingTime now) const;
  void Launch(int unit, const WorkUnit& work);
  // Collects unit if its worker has ended; true if it was dealt with.
  bool TryCollect(int unit);
  void RetryOrFail(int unit, const WorkUnit& work, const pitrel::PageFailure& failure);
  void Keep(int unit, const WorkUnit& work);
  void Done(int unit);
  void CannotKeep(const QString& page, const QString& why, const QString& shown);
  int PauseTicks(bool collectedAny) const;
  bool End(HarvestEnd end);
  bool Wake();

  DispatchRules rules_;
  UnitSource units_;
  DispatchTable& table_;
  HarvestHooks& hooks_;
  StoreResult store_;
  HostPacer pacer_;
  HarvestTally tally_;
  std::map<int, PacingTime> waiting_;  // units waiting for another try, and when it is due
  std::map<int, int> retriesDone_;
  std::optional<PacingTime> launchDue_;  // when a held-back launch may go
  std::optional<HarvestEnd> end_;
  std::function<void(int)> onCollected_;
};

}  // namespace quenlo

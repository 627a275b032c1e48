// The dispatch pass shared by the three harvests: launch units in order under
// the worker limit, collect their results in unit order as they become ready,
// pause, repeat. A worker that ends without a result has its unit counted as
// collected with nothing stored, so no slot is held for ever.
#pragma once

#include "harvest/dispatch_table.h"
#include "harvest/harvest_hooks.h"

#include <QString>
#include <functional>

namespace quenlo {

struct WorkUnit {
  QString argument;    // the page address, or the member name for profiles
  QString resultFile;  // relative to the current directory
};

// Where the three harvests differ.
struct DispatchRules {
  int workerFlag = 0;
  bool deleteStaleFile = true;   // remove a file of the unit's name before its launch
  bool stopTestFirst = false;    // stop test at the start of a pass, else after its pause
  bool oneResultPerPass = false;
  int readPauseTicks = -1;       // extra pause before reading a result (-1: none)
  int passPauseTicks = 500;
};

// The work unit of a number (from 1); asked for when the unit is launched or
// collected, so a long search needs no list of all its pages.
using UnitSource = std::function<WorkUnit(int unit)>;
// Receives the result text of a unit. Not called for a unit whose worker
// ended without leaving a result.
using StoreResult = std::function<void(int unit, const QString& text)>;

class Dispatcher {
 public:
  // The units are those of table, numbered from 1.
  Dispatcher(DispatchRules rules, UnitSource units, DispatchTable& table, HarvestHooks& hooks,
             StoreResult store);

  // One pass. False when the run is over: all collected or stopped.
  bool Pass();
  // Passes until the run is over.
  HarvestEnd Run();
  bool Stopped() const { return stopped_; }
  // Called after every collected unit, with or without a result.
  void OnCollected(std::function<void(int collected)> callback) { onCollected_ = std::move(callback); }

 private:
  void LaunchPhase();
  // Collects unit if its result is there or its worker ended; true if collected.
  bool TryCollect(int unit);
  bool Wake();

  DispatchRules rules_;
  UnitSource units_;
  DispatchTable& table_;
  HarvestHooks& hooks_;
  StoreResult store_;
  std::function<void(int)> onCollected_;
  bool stopped_ = false;
};

}  // namespace quenlo

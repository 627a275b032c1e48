// The bookkeeping of one harvest run: one state per work unit (numbered from
// 1), the next unit to launch, the low-water mark and the outstanding count.
// A unit that failed and waits to be tried again holds no worker slot.
// No I/O; the dispatch pass drives it.
#pragma once

#include <vector>

namespace quenlo {

enum class UnitState : unsigned char { NotStarted = 0, Launched = 1, Collected = 2, Waiting = 3 };

class DispatchTable {
 public:
  explicit DispatchTable(int units);

  int Units() const { return int(states_.size()) - 1; }
  UnitState State(int unit) const { return states_.at(unit); }
  int Next() const { return next_; }
  int Low() const { return low_; }
  int Outstanding() const { return outstanding_; }
  int Collected() const { return collected_; }
  bool AllCollected() const { return collected_ >= Units(); }

  // Marks a unit fetched before the table existed (the member search's page 1).
  void PreCollect(int unit);
  // Whether a slot is free under the worker limit.
  bool HasRoom(int workerLimit) const { return outstanding_ < workerLimit; }
  // Launches the next unit and returns its number.
  int LaunchNext();
  void Collect(int unit);
  // A launched unit gives up its slot to wait for another try.
  void Requeue(int unit);
  // A waiting unit is launched again.
  void Relaunch(int unit);
  // Adds units up to `units` in all (the member search learns its page count
  // from its first page).
  void Extend(int units);
  // The highest unit a collect scan looks at.
  int ScanEnd() const;
  // Moves the low-water mark over collected units, at most to lastScanned + 1.
  void AdvanceLow(int lastScanned);

 private:
  std::vector<UnitState> states_;  // index 0 unused
  int next_ = 1;
  int low_ = 1;
  int outstanding_ = 0;
  int collected_ = 0;
};

}  // namespace quenlo

#include "harvest/dispatch_table.h"

#include <algorithm>
#include <stdexcept>

namespace quenlo {

DispatchTable::DispatchTable(int units)
    : states_(std::size_t(std::max(units, 0)) + 1, UnitState::NotStarted) {}

void DispatchTable::PreCollect(int unit) {
  if (states_.at(unit) == UnitState::Collected) return;
  states_.at(unit) = UnitState::Collected;
  ++collected_;
  while (next_ <= Units() && states_[next_] != UnitState::NotStarted) ++next_;
  AdvanceLow(Units());
}

int DispatchTable::LaunchNext() {
  if (next_ > Units()) throw std::logic_error("no unit left to launch");
  const int unit = next_;
  states_[unit] = UnitState::Launched;
  ++outstanding_;
  do ++next_;
  while (next_ <= Units() && states_[next_] != UnitState::NotStarted);
  return unit;
}

void DispatchTable::Collect(int unit) {
  if (states_.at(unit) != UnitState::Launched) throw std::logic_error("unit not outstanding");
  states_[unit] = UnitState::Collected;
  --outstanding_;
  ++collected_;
}

void DispatchTable::Requeue(int unit) {
  if (states_.at(unit) != UnitState::Launched) throw std::logic_error("unit not outstanding");
  states_[unit] = UnitState::Waiting;
  --outstanding_;
}

void DispatchTable::Relaunch(int unit) {
  if (states_.at(unit) != UnitState::Waiting) throw std::logic_error("unit not waiting");
  states_[unit] = UnitState::Launched;
  ++outstanding_;
}

void DispatchTable::Extend(int units) {
  if (units > Units()) states_.resize(std::size_t(units) + 1, UnitState::NotStarted);
}

int DispatchTable::ScanEnd() const { return std::min(next_, Units()); }

void DispatchTable::AdvanceLow(int lastScanned) {
  while (low_ <= Units() && low_ <= lastScanned + 1 && states_[low_] == UnitState::Collected)
    ++low_;
}

}  // namespace quenlo

// Ctrl+C as the stop request of a harvest run from the command line, and
// SIGTERM too (a service manager or `kill` ending the run): while an instance
// lives, either only sets a flag that the harvest reads at its next stop
// test, so the run ends as the stop button ends it, repeats removed. The
// previous handlers come back afterwards.
#pragma once

#include <array>
#include <csignal>

namespace quenlo {

class StopOnInterrupt {
 public:
  StopOnInterrupt();
  ~StopOnInterrupt();
  StopOnInterrupt(const StopOnInterrupt&) = delete;
  StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

  bool Requested() const;

 private:
  static constexpr std::array<int, 2> kSignals = {SIGINT, SIGTERM};
  std::array<struct sigaction, 2> previous_{};
};

}  // namespace quenlo

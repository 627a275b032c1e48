// Ctrl+C as the stop request of a harvest run from the command line. While an
// instance lives, SIGINT only sets a flag that the harvest reads at its next
// stop test; the previous handler comes back afterwards.
#pragma once

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
  struct sigaction previous_ {};
};

}  // namespace quenlo

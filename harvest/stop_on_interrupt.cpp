#include "harvest/stop_on_interrupt.h"

namespace quenlo {

namespace {
volatile std::sig_atomic_t interrupted = 0;
extern "C" void OnInterrupt(int) { interrupted = 1; }
}  // namespace

StopOnInterrupt::StopOnInterrupt() {
  interrupted = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &previous_[i]);
}

StopOnInterrupt::~StopOnInterrupt() {
  for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &previous_[i], nullptr);
}

bool StopOnInterrupt::Requested() const { return interrupted != 0; }

}  // namespace quenlo

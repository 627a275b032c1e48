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
  sigaction(SIGINT, &action, &previous_);
}

StopOnInterrupt::~StopOnInterrupt() { sigaction(SIGINT, &previous_, nullptr); }

bool StopOnInterrupt::Requested() const { return interrupted != 0; }

}  // namespace quenlo

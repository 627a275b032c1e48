#include "harvest/wait_ticks.h"

#include "ports/event_pump.h"

#include <chrono>

namespace quenlo {

void WaitTicks(int count, const std::function<bool()>& wake) {
  if (count < 0) return;
  EventPump& pump = ActivePump();
  pump.ProcessPending();
  pump.ProcessPending();
  using Clock = std::chrono::steady_clock;
  const auto deadline =
      Clock::now() + std::chrono::microseconds(static_cast<long long>(count) * kTickMicroseconds);
  for (;;) {
    if (wake && wake()) return;
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    pump.WaitForEvents(int(ms));
  }
}

}  // namespace quenlo

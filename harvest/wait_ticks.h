// The harvests' pause, counted in ticks of the event pump.
//
// A tick is at most kTickMicroseconds of sleep on the active event pump; the
// pump wakes at once for any event. The pause pumps pending events twice, then
// sleeps tick by tick, and ends early when `wake` says something worth looking
// at happened (a worker ended, a stop was requested). So a long pause costs no
// CPU and delays nothing.
#pragma once

#include <functional>

namespace quenlo {

inline constexpr int kTickMicroseconds = 100;

// count < 0 pumps nothing; count 0 pumps the pending events twice.
void WaitTicks(int count, const std::function<bool()>& wake = {});

}  // namespace quenlo

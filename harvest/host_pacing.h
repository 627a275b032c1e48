// Pacing of page starts, host by host. With a delay set, a page to a host
// starts no sooner than the delay after the previous one, jittered by 0.5 to
// 1.5 times so that the starts do not beat like a clock. A 429 or 503 answer
// slows the host down: at least 1 s between its page starts, twice the
// previous pause on each further such answer (up to 30 s), until 60 s pass
// without one. The clock and the jitter come from the caller.
#pragma once

#include <QHash>
#include <QString>
#include <chrono>
#include <functional>

namespace quenlo {

using PacingClock = std::chrono::steady_clock;
using PacingTime = PacingClock::time_point;
using PacingInterval = std::chrono::milliseconds;

inline constexpr PacingInterval kSlowdownFirst{1000};
inline constexpr PacingInterval kSlowdownCap{30'000};
inline constexpr PacingInterval kSlowdownSpan{60'000};

class HostPacer {
 public:
  // delay: the least pause between page starts to one host; 0 paces nothing.
  // jitter: a number in [0, 1) for each start.
  HostPacer(PacingInterval delay, std::function<double()> jitter);

  // The earliest time a page to host may start.
  PacingTime NextStart(const QString& host) const;
  // A page to host starts at now; the next waits the host's pause.
  void Started(const QString& host, PacingTime now);
  // The host answered 429 or 503 at now.
  void Overloaded(const QString& host, PacingTime now);
  // The pause between page starts to host at now, before jitter.
  PacingInterval Pause(const QString& host, PacingTime now) const;

 private:
  struct Host {
    PacingTime next{};
    PacingInterval slowPause{0};
    PacingTime slowUntil{};
  };

  PacingInterval delay_;
  std::function<double()> jitter_;
  QHash<QString, Host> hosts_;
};

}  // namespace quenlo

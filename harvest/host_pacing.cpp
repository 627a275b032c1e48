#include "harvest/host_pacing.h"

#include <algorithm>
#include <cmath>

namespace quenlo {

HostPacer::HostPacer(PacingInterval delay, std::function<double()> jitter)
    : delay_(delay), jitter_(std::move(jitter)) {}

PacingTime HostPacer::NextStart(const QString& host) const { return hosts_.value(host).next; }

PacingInterval HostPacer::Pause(const QString& host, PacingTime now) const {
  const Host state = hosts_.value(host);
  return now < state.slowUntil ? std::max(delay_, state.slowPause) : delay_;
}

void HostPacer::Started(const QString& host, PacingTime now) {
  const PacingInterval pause = Pause(host, now);
  if (pause.count() <= 0) return;
  const auto jittered = PacingInterval(std::llround(double(pause.count()) * (0.5 + jitter_())));
  hosts_[host].next = now + jittered;
}

void HostPacer::Overloaded(const QString& host, PacingTime now) {
  Host& state = hosts_[host];
  const bool stillSlow = now < state.slowUntil;
  state.slowPause = stillSlow ? std::min(state.slowPause * 2, kSlowdownCap) : kSlowdownFirst;
  state.slowUntil = now + kSlowdownSpan;
  state.next = std::max(state.next, now + state.slowPause);
}

}  // namespace quenlo

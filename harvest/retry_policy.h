// When a page that could not be read is asked for again. A transient failure
// is tried up to `retries` more times; before each try the page waits an
// exponential back-off (about 1 s, 2 s, 4 s ..., capped) with jitter, or the
// Retry-After the server asked for when that is longer. A Retry-After beyond
// its own cap, a permanent failure or a page out of tries fails for good.
// Pure: the caller draws the jitter, so a test can fix it.
#pragma once

#include "store/harvest_settings.h"
#include "worker/protocol.h"

#include <QString>
#include <chrono>

namespace quenlo {

using Milliseconds = std::chrono::milliseconds;

struct RetryPolicy {
  int retries = kRetriesRange.fallback;  // further tries after the first
  Milliseconds firstBackoff{1000};
  Milliseconds backoffCap{30'000};
  Milliseconds retryAfterCap{300'000};  // a server asking for longer has given up on us
};

struct RetryDecision {
  bool retry = false;
  Milliseconds wait{0};  // before the next try
  QString why;           // why the page failed for good; empty when retried
};

// The back-off before try number `retry` (1 for the first retry), jittered
// by 0.5 to 1.5 times as jitter runs from 0 to 1, and capped.
Milliseconds Backoff(const RetryPolicy& policy, int retry, double jitter);

// Whether a page that failed after retriesDone retries is tried again, and when.
RetryDecision DecideRetry(const RetryPolicy& policy, const pitrel::PageFailure& failure,
                          int retriesDone, double jitter);

}  // namespace quenlo

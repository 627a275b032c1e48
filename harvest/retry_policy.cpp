#include "harvest/retry_policy.h"

#include <algorithm>
#include <cmath>

namespace quenlo {

Milliseconds Backoff(const RetryPolicy& policy, int retry, double jitter) {
  const double doubled = double(policy.firstBackoff.count()) * std::exp2(std::max(retry - 1, 0));
  const double jittered = std::min(doubled, double(policy.backoffCap.count())) * (0.5 + jitter);
  return Milliseconds(std::llround(std::min(jittered, double(policy.backoffCap.count()))));
}

RetryDecision DecideRetry(const RetryPolicy& policy, const pitrel::PageFailure& failure,
                          int retriesDone, double jitter) {
  if (!failure.transient) return {false, {}, QStringLiteral("permanent")};
  const int tries = retriesDone + 1;
  if (retriesDone >= policy.retries)
    return {false, {}, QStringLiteral("still failing after %1 %2").arg(tries).arg(tries == 1 ? "try" : "tries")};
  const Milliseconds asked = std::chrono::seconds(failure.retry_after_seconds.value_or(0));
  if (asked > policy.retryAfterCap)
    return {false, {},
            QStringLiteral("the server asked to wait %1 s, more than %2 s")
                .arg(failure.retry_after_seconds.value_or(0))
                .arg(std::chrono::duration_cast<std::chrono::seconds>(policy.retryAfterCap).count())};
  return {true, std::max(Backoff(policy, retriesDone + 1, jitter), asked), {}};
}

}  // namespace quenlo

// When a page that failed is asked for again: back-off, jitter, Retry-After
// and the caps, with the jitter fixed by the test.
#include "harvest/retry_policy.h"

#include <gtest/gtest.h>

namespace quenlo {
namespace {

using std::chrono::milliseconds;

pitrel::PageFailure Transient(int status = 500, std::optional<long> retryAfter = std::nullopt) {
  return {true, status, retryAfter, "HTTP " + std::to_string(status)};
}

TEST(RetryPolicyTest, BackOffDoublesFromASecondUpToItsCapWithHalfToOneAndAHalfJitter) {
  const RetryPolicy policy;
  EXPECT_EQ(Backoff(policy, 1, 0.5), milliseconds(1000));
  EXPECT_EQ(Backoff(policy, 2, 0.5), milliseconds(2000));
  EXPECT_EQ(Backoff(policy, 3, 0.5), milliseconds(4000));
  EXPECT_EQ(Backoff(policy, 1, 0.0), milliseconds(500));
  EXPECT_EQ(Backoff(policy, 1, 0.999), milliseconds(1499));
  EXPECT_EQ(Backoff(policy, 6, 0.5), milliseconds(30'000));  // 32 s, capped
  EXPECT_EQ(Backoff(policy, 40, 0.999), milliseconds(30'000));
  EXPECT_EQ(Backoff(policy, 5, 0.0), milliseconds(8000));  // jitter below the cap
}

TEST(RetryPolicyTest, ATransientFailureIsTriedAsOftenAsThePolicySaysThenFailsForGood) {
  RetryPolicy policy;
  policy.retries = 2;
  const RetryDecision first = DecideRetry(policy, Transient(), 0, 0.5);
  EXPECT_TRUE(first.retry);
  EXPECT_EQ(first.wait, milliseconds(1000));
  EXPECT_EQ(DecideRetry(policy, Transient(), 1, 0.5).wait, milliseconds(2000));
  const RetryDecision last = DecideRetry(policy, Transient(), 2, 0.5);
  EXPECT_FALSE(last.retry);
  EXPECT_EQ(last.why, "still failing after 3 tries");

  policy.retries = 0;
  EXPECT_EQ(DecideRetry(policy, Transient(), 0, 0.5).why, "still failing after 1 try");
}

TEST(RetryPolicyTest, APermanentFailureIsNeverTriedAgain) {
  const pitrel::PageFailure gone{false, 404, std::nullopt, "HTTP 404"};
  const RetryDecision decision = DecideRetry(RetryPolicy{}, gone, 0, 0.5);
  EXPECT_FALSE(decision.retry);
  EXPECT_EQ(decision.why, "permanent");
}

TEST(RetryPolicyTest, RetryAfterWinsWhenLongerAndFailsThePageBeyondItsCap) {
  const RetryPolicy policy;
  EXPECT_EQ(DecideRetry(policy, Transient(429, 7), 0, 0.5).wait, milliseconds(7000));
  EXPECT_EQ(DecideRetry(policy, Transient(503, 0), 0, 0.5).wait,
            milliseconds(1000));  // a date passed
  EXPECT_EQ(DecideRetry(policy, Transient(429, 1), 2 - 1, 0.5).wait, milliseconds(2000));
  EXPECT_EQ(DecideRetry(policy, Transient(429, 300), 0, 0.5).wait, milliseconds(300'000));
  const RetryDecision tooLong = DecideRetry(policy, Transient(429, 301), 0, 0.5);
  EXPECT_FALSE(tooLong.retry);
  EXPECT_EQ(tooLong.why, "the server asked to wait 301 s, more than 300 s");
}

}  // namespace
}  // namespace quenlo

// Pacing of page starts per host, with the clock and the jitter in the
// test's hands.
#include "harvest/host_pacing.h"

#include <gtest/gtest.h>

namespace quenlo {
namespace {

using std::chrono::milliseconds;

const QString kHost = QStringLiteral("market.test");
const QString kOther = QStringLiteral("search.market.test");

struct Pacing {
  double jitter = 0.5;  // 1.0 times the pause
  PacingTime t0 = PacingClock::now();
  HostPacer pacer;
  explicit Pacing(int delayMs) : pacer(milliseconds(delayMs), [this] { return jitter; }) {}
  PacingTime At(int ms) const { return t0 + milliseconds(ms); }
};

TEST(HostPacerTest, WithoutADelayEveryPageMayStartAtOnce) {
  Pacing p(0);
  p.pacer.Started(kHost, p.At(0));
  EXPECT_LE(p.pacer.NextStart(kHost), p.At(0));
}

TEST(HostPacerTest, StartsToOneHostAreSpacedByTheDelayJitteredHalfToOneAndAHalfTimes) {
  Pacing p(200);
  p.pacer.Started(kHost, p.At(0));
  EXPECT_EQ(p.pacer.NextStart(kHost), p.At(200));
  p.jitter = 0.0;
  p.pacer.Started(kHost, p.At(200));
  EXPECT_EQ(p.pacer.NextStart(kHost), p.At(300));
  p.jitter = 0.999;
  p.pacer.Started(kHost, p.At(300));
  EXPECT_EQ(p.pacer.NextStart(kHost), p.At(300 + 300));
  // Another host keeps its own pace.
  EXPECT_LE(p.pacer.NextStart(kOther), p.At(0));
}

TEST(HostPacerTest, ATooManyOrUnavailableAnswerSlowsTheHostDownForAWhile) {
  Pacing p(0);
  p.pacer.Overloaded(kHost, p.At(0));
  EXPECT_EQ(p.pacer.NextStart(kHost), p.At(1000));
  EXPECT_EQ(p.pacer.Pause(kHost, p.At(10)), milliseconds(1000));
  EXPECT_EQ(p.pacer.Pause(kOther, p.At(10)), milliseconds(0));

  p.pacer.Overloaded(kHost, p.At(1500));  // again while slow: twice the pause
  EXPECT_EQ(p.pacer.Pause(kHost, p.At(1500)), milliseconds(2000));
  for (int i = 0; i < 10; ++i) p.pacer.Overloaded(kHost, p.At(2000 + i));
  EXPECT_EQ(p.pacer.Pause(kHost, p.At(2100)), kSlowdownCap);

  p.pacer.Started(kHost, p.At(3000));
  EXPECT_EQ(p.pacer.NextStart(kHost), p.At(3000) + kSlowdownCap);
  // A minute without such an answer, and the host is back to the delay.
  EXPECT_EQ(p.pacer.Pause(kHost, p.At(2009) + kSlowdownSpan), milliseconds(0));
  p.pacer.Overloaded(kHost, p.At(200'000));
  EXPECT_EQ(p.pacer.Pause(kHost, p.At(200'000)), kSlowdownFirst);
}

TEST(HostPacerTest, TheSlowdownNeverShortensALongerDelay) {
  Pacing p(5000);
  p.pacer.Overloaded(kHost, p.At(0));
  EXPECT_EQ(p.pacer.Pause(kHost, p.At(1)), milliseconds(5000));
}

}  // namespace
}  // namespace quenlo

// The engine's time-out at its real pace: more than 60 quiet one-second ticks.
#include <gtest/gtest.h>

#include "base/Clock.h"
#include "support/ClientEvents.h"
#include "support/TestServers.h"

namespace {

TEST(RealTimeout, AStalledReplyEndsAfterSixtyOneQuietSeconds) {
  twi::cSHAREDInternet client;
  twitest::EventLog events;
  events.Attach(client);
  double start = twi::ClockSeconds();
  EXPECT_EQ(client.OpenURL(twitest::HttpUrl("/stalltext/partial/120")), "partial");
  double took = twi::ClockSeconds() - start;
  EXPECT_GT(took, 60.5);
  EXPECT_LT(took, 64.0);
  EXPECT_NE(std::find(events.errors.begin(), events.errors.end(), "Transfer timed out"),
            events.errors.end());
}

}  // namespace

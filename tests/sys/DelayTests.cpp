// Waiting and event pumping: how long the waits take and when they pump.
#include <gtest/gtest.h>

#include "base/Clock.h"
#include "support/TestSupport.h"
#include "sys/cSHAREDDelay.h"
#include "ui/Form.h"

namespace {

// A hidden window that counts the messages it receives.
class CountingForm : public ui::Form {
 public:
  CountingForm() : ui::Form("counter", 1000, 1000) {}
  int received = 0;
  void Post() { PostMessageW(hwnd(), WM_APP + 7, 0, 0); }

 protected:
  bool FormMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
    if (msg != WM_APP + 7) return false;
    ++received;
    result = 0;
    return true;
  }
};

double Timed(const std::function<void()>& action) {
  double start = twi::ClockSeconds();
  action();
  return twi::ClockSeconds() - start;
}

// A wait is never shorter than asked (less one tick of the clock it is measured
// on), and on a busy machine may be longer, but not by half a second.
void ExpectWaitOf(double asked, double took) {
  constexpr double kClockTick = 0.016;
  EXPECT_GE(took, asked - kClockTick) << "asked " << asked;
  EXPECT_LE(took, asked + 0.5) << "asked " << asked;
}

TEST(Delay, WaitsTheGivenTime) {
  twi::cSHAREDDelay delay;
  ExpectWaitOf(0.5, Timed([&] { delay.Delay(0.5); }));
  ExpectWaitOf(1.25, Timed([&] { delay.Delay(1.25); }));
  ExpectWaitOf(2.0, Timed([&] { delay.Delay(2); }));
  ExpectWaitOf(1.5, Timed([&] { delay.Sleep(1500); }));
  ExpectWaitOf(0.2, Timed([&] { delay.Sleep(200); }));
}

TEST(Delay, WaitingPumpsOnlyWhenInputIsPending) {
  CountingForm form;
  form.Load();
  twi::cSHAREDDelay delay;
  form.Post();
  delay.Delay(2);  // no keyboard or mouse input waits, so nothing is pumped
  EXPECT_EQ(form.received, 0);
  delay.newDoEvents();
  EXPECT_EQ(form.received, 0);
  delay.DoEventss();
  EXPECT_EQ(form.received, 1);
}

TEST(Delay, RegularDoEventsPumpsAtMostEveryQuarterSecond) {
  CountingForm form;
  form.Load();
  double now = 100.0;  // the pacing clock, moved on by hand
  twi::cSHAREDDelay delay([&] { return now; });
  form.Post();
  delay.RegularDoEvents();
  EXPECT_EQ(form.received, 1);
  form.Post();
  now += 0.24;
  delay.RegularDoEvents();  // within the quarter second: nothing runs
  EXPECT_EQ(form.received, 1);
  now += 0.02;
  delay.RegularDoEvents();  // a quarter second after the pump: it runs again
  EXPECT_EQ(form.received, 2);
}

TEST(Delay, MsgWaitReturnsAfterTheTimeEvenWhenWokenEarlier) {
  CountingForm form;
  form.Load();
  twi::cSHAREDDelay delay;
  form.Post();  // wakes the wait at once; the wait goes on to its end
  ExpectWaitOf(0.4, Timed([&] { delay.MsgWait(400); }));
}

}  // namespace

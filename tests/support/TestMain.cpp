// Entry point of every test executable. Message boxes never wait for a person:
// a box that a test does not expect (and answer through MsgBoxRecorder) fails
// that test and is answered with its first button so the test can finish.
#include <gtest/gtest.h>
#include <objbase.h>

#include "support/TestSupport.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  CoInitialize(nullptr);
  twitest::FailOnUnexpectedMsgBox();
  int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}

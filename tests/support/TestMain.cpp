// Entry point of every test executable: message boxes never wait for a person
// (each is answered with its first button unless a test scripts the answer).
#include <gtest/gtest.h>
#include <objbase.h>

#include "support/TestSupport.h"
#include "ui/MsgBox.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  CoInitialize(nullptr);
  ui::SetMsgBoxAnswerer([](const ui::MsgBoxCall& call) {
    ADD_FAILURE() << "Unexpected message box: " << call.prompt;
    return (call.style & 0x0F) == ui::vbYesNo ? ui::vbYes : ui::vbOK;
  });
  int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}

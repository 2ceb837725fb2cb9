#pragma once
// Test window of the Speech API 5.x: hosts nothing; its test creates the SAPI 5
// voice and has it speak once, synchronously.
#include "install/TestWindow.h"

namespace twi::install {

class frmSpeech50 : public TestWindow {
 public:
  frmSpeech50();
  std::string Description() const override;
  void Test() override;
};

}  // namespace twi::install

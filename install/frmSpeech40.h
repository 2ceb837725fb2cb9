#pragma once
// Test window of the Speech API 4.0: hosts nothing; its test creates the
// text-to-speech object by class id and has it speak once.
#include "install/TestWindow.h"

namespace twi::install {

class frmSpeech40 : public TestWindow {
 public:
  frmSpeech40();
  std::string Description() const override;
  void Test() override;
};

}  // namespace twi::install

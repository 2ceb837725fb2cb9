#pragma once
// Test window of the Rich Text control (RICHTX32.OCX): hosts RichText.
#include "install/TestWindow.h"

namespace twi::install {

class frmRchText : public TestWindow {
 public:
  frmRchText();
  std::string Description() const override;
  void Test() override;
};

}  // namespace twi::install

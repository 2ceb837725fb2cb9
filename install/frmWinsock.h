#pragma once
// Test window of the Winsock Control (MSWINSCK.OCX): hosts Winsock1.
#include "install/TestWindow.h"

namespace twi::install {

class frmWinsock : public TestWindow {
 public:
  frmWinsock();
  std::string Description() const override;
  void Test() override;
};

}  // namespace twi::install

#pragma once
// Test window of the Internet Transfer Control (MSINET.OCX): hosts Inet1.
#include "install/TestWindow.h"

namespace twi::install {

class frmInet : public TestWindow {
 public:
  frmInet();
  std::string Description() const override;
  void Test() override;
};

}  // namespace twi::install

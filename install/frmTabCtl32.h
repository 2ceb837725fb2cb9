#pragma once
// Test window of the Tabbed Dialog Control (TABCTL32.OCX): hosts SSTab1.
#include "install/TestWindow.h"

namespace twi::install {

class frmTabCtl32 : public TestWindow {
 public:
  frmTabCtl32();
  std::string Description() const override;
  void Test() override;
};

}  // namespace twi::install

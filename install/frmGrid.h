#pragma once
// Test window of the Grid Control (MSFLXGRD.OCX): hosts Grid1.
#include "install/TestWindow.h"

namespace twi::install {

class frmGrid : public TestWindow {
 public:
  frmGrid();
  std::string Description() const override;
  void Test() override;
};

}  // namespace twi::install

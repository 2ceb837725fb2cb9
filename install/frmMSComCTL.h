#pragma once
// Test window of the Common Controls (MSCOMCTL.OCX): hosts Toolbar1, ListView1, ImageList1.
#include "install/TestWindow.h"

namespace twi::install {

class frmMSComCTL : public TestWindow {
 public:
  frmMSComCTL();
  std::string Description() const override;
  void Test() override;
};

}  // namespace twi::install

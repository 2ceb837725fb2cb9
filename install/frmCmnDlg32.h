#pragma once
// Test window of the Common Dialog Control (COMDLG32.OCX): hosts CommonDialog1.
#include "install/TestWindow.h"

namespace twi::install {

class frmCmnDlg32 : public TestWindow {
 public:
  frmCmnDlg32();
  std::string Description() const override;
  void Test() override;
};

}  // namespace twi::install

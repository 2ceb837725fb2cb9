#pragma once
// Test window of the Common Controls 2 (MSCOMCT2.OCX): hosts FlatScrollBar1,
// MonthView1, DTPicker1, UpDown1, Animation1.
#include "install/TestWindow.h"

namespace twi::install {

class frmMSComCT2 : public TestWindow {
 public:
  frmMSComCT2();
  std::string Description() const override;
  void Test() override;
};

}  // namespace twi::install

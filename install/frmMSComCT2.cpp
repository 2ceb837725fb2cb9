#include "install/frmMSComCT2.h"

namespace twi::install {

frmMSComCT2::frmMSComCT2()
    : TestWindow("frmMSComCT2", "MSCOMCT2.OCX",
                 {
                     {"FlatScrollBar1", "MSComCtl2.FlatScrollBar"},
                     {"MonthView1", "MSComCtl2.MonthView"},
                     {"DTPicker1", "MSComCtl2.DTPicker"},
                     {"UpDown1", "MSComCtl2.UpDown"},
                     {"Animation1", "MSComCtl2.Animation"},
                 }) {}

std::string frmMSComCT2::Description() const { return "Common Controls 2 (MSComCT2.ocx)"; }

void frmMSComCT2::Test() {
  Hosted("FlatScrollBar1").PutProperty(static_cast<DISPID>(0x8001000D), activex::Arg::Bool(true));
}

}  // namespace twi::install

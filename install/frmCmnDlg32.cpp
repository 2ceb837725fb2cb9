#include "install/frmCmnDlg32.h"

namespace twi::install {

frmCmnDlg32::frmCmnDlg32()
    : TestWindow("frmCmnDlg32", "COMDLG32.OCX",
                 {
                     {"CommonDialog1", "MSComDlg.CommonDialog"},
                 }) {}

std::string frmCmnDlg32::Description() const { return "Common Dialog Control (CmnDlg32.ocx)"; }

void frmCmnDlg32::Test() {
  Hosted("CommonDialog1").PutProperty(3, activex::Arg::Text("dummy"));
}

}  // namespace twi::install

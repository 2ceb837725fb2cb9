#include "install/frmTabCtl32.h"

#include <olectl.h>

namespace twi::install {

frmTabCtl32::frmTabCtl32()
    : TestWindow("frmTabCtl32", "TABCTL32.OCX",
                 {
                     {"SSTab1", "TabDlg.SSTab"},
                 }) {}

std::string frmTabCtl32::Description() const { return "Tabbed Dialog Control (TabCtl32.ocx)"; }

void frmTabCtl32::Test() {
  Hosted("SSTab1").PutProperty(DISPID_CAPTION, activex::Arg::Text("Testing"));
}

}  // namespace twi::install

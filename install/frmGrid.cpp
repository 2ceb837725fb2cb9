#include "install/frmGrid.h"

namespace twi::install {

frmGrid::frmGrid()
    : TestWindow("frmGrid", "MSFLXGRD.OCX",
                 {
                     {"Grid1", "MSFlexGridLib.MSFlexGrid"},
                 }) {}

std::string frmGrid::Description() const { return "Grid Control (MSFlxGrd.ocx)"; }

void frmGrid::Test() {
  Hosted("Grid1").PutProperty(7, activex::Arg::Long(0));
}

}  // namespace twi::install

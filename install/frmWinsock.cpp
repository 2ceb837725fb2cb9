#include "install/frmWinsock.h"

namespace twi::install {

frmWinsock::frmWinsock()
    : TestWindow("frmWinsock", "MSWINSCK.OCX",
                 {
                     {"Winsock1", "MSWinsockLib.Winsock"},
                 }) {}

std::string frmWinsock::Description() const { return "Winsock Control (MSWinSck.ocx)"; }

void frmWinsock::Test() {
  Hosted("Winsock1").CallMethod(70);
}

}  // namespace twi::install

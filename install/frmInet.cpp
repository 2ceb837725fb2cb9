#include "install/frmInet.h"

#include "net/ServerAddresses.h"

namespace twi::install {

frmInet::frmInet()
    : TestWindow("frmInet", "MSINET.OCX",
                 {
                     {"Inet1", "InetCtlsObjects.Inet"},
                 }) {}

std::string frmInet::Description() const { return "Internet Control (MSInet.ocx)"; }

void frmInet::Test() {
  // The main web server's host name into the property with dispatch id 9.
  Hosted("Inet1").PutProperty(9, activex::Arg::Text(MainServerHost()));
}

}  // namespace twi::install

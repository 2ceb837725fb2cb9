#include "install/frmMSComCTL.h"

namespace twi::install {

frmMSComCTL::frmMSComCTL()
    : TestWindow("frmMSComCTL", "MSCOMCTL.OCX",
                 {
                     {"Toolbar1", "MSComctlLib.Toolbar"},
                     {"ListView1", "MSComctlLib.ListView"},
                     {"ImageList1", "MSComctlLib.ImageList"},
                 }) {}

std::string frmMSComCTL::Description() const { return "Common Controls (MSComCTL.ocx)"; }

void frmMSComCTL::Test() {
  // ListView1.ListItems.Add , , "Test": index and key omitted, no icons.
  activex::Object& listView = Hosted("ListView1");
  activex::Object items = listView.GetObjectProperty(listView.IdOfName("ListItems"));
  items.CallMethod("Add",
                   {activex::Arg::Missing(), activex::Arg::Missing(), activex::Arg::Text("Test")});
}

}  // namespace twi::install

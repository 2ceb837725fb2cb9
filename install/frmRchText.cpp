#include "install/frmRchText.h"

#include <olectl.h>

namespace twi::install {

frmRchText::frmRchText()
    : TestWindow("frmRchText", "RICHTX32.OCX",
                 {
                     {"RichText", "RichTextLib.RichTextBox"},
                 }) {}

std::string frmRchText::Description() const { return "Rich Text controls (Richtx32.ocx)"; }

void frmRchText::Test() {
  Hosted("RichText").PutProperty(DISPID_TEXT, activex::Arg::Text("Test"));
}

}  // namespace twi::install

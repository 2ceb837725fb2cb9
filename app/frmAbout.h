#pragma once
// The About box: the program, its version and the maker with its web links.
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Label.h"

namespace twi {

class frmAbout : public ui::Form {
 public:
  frmAbout();
  ui::Label lblTitle, lblVersion, lblMaker, lblWebSite, lblSupport;
  ui::Button cmdOK;

 protected:
  void CreateControls() override;
  void Form_Load() override;
};

}  // namespace twi

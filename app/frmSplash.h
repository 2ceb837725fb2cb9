#pragma once
// The splash window shown while the install center starts: a drawn picture
// with the program's version centred at its foot.
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/PictureBox.h"

namespace twi {

class frmSplash : public ui::Form {
 public:
  frmSplash();
  ui::PictureBox Picture1;
  ui::Label lblVersion;

 protected:
  void CreateControls() override;
  void Form_Load() override;

 private:
  void DrawPicture();
};

}  // namespace twi

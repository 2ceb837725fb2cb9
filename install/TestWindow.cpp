#include "install/TestWindow.h"

#include "base/RuntimeError.h"

namespace twi::install {

TestWindow::TestWindow(std::string caption, std::string_view componentFile,
                       std::vector<ControlSite> sites)
    : ui::Form(std::move(caption), 3000, 2000),
      componentFile_(componentFile),
      sites_(std::move(sites)) {}

void TestWindow::CreateControls() {
  hosted_.clear();
  try {
    for (const ControlSite& site : sites_)
      hosted_.push_back({site.name, activex::Object::CreateControl(site.progId, componentFile_)});
  } catch (...) {
    hosted_.clear();
    throw;
  }
}

void TestWindow::Form_Unload() { hosted_.clear(); }

activex::Object& TestWindow::Hosted(std::string_view name) {
  Load();
  for (HostedControl& control : hosted_)
    if (control.name == name) return control.object;
  // Not a control of this window: a programming error, reported as error 424
  // (object required).
  throw RuntimeError::Numbered(err::ObjectRequired);
}

}  // namespace twi::install

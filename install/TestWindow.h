#pragma once
// Base of the runtime scan's test windows: a window that is loaded but never
// shown and that hosts ActiveX controls from the moment it is loaded, so that
// loading it fails (error 339 naming the component file) when one of them is
// missing or not registered. Each window answers Description without needing
// its controls, and Test exercises them once; Test raises any error it meets
// with that error's own number and description.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/activex/Object.h"
#include "ui/Form.h"

namespace twi::install {

class TestWindow : public ui::Form {
 public:
  virtual std::string Description() const = 0;
  virtual void Test() = 0;

  // A hosted control by its name on the window. An unloaded window is loaded
  // first, as a reference to a control of an unloaded form does, so a missing
  // control raises its 339 again here.
  activex::Object& Hosted(std::string_view name);

 protected:
  // A control the window hosts: its name on the window and its ProgID.
  struct ControlSite {
    std::string_view name;
    std::string_view progId;
  };
  // componentFile names the file in the error of a control that cannot be
  // created ("MSINET.OCX"); windows that host nothing pass "" and no sites.
  TestWindow(std::string caption, std::string_view componentFile,
             std::vector<ControlSite> sites);

  void CreateControls() override;
  void Form_Unload() override;

 private:
  struct HostedControl {
    std::string_view name;
    activex::Object object;
  };
  std::string componentFile_;
  std::vector<ControlSite> sites_;
  std::vector<HostedControl> hosted_;
};

}  // namespace twi::install

#pragma once
// Frame: a group box ("Button" window) that is also a container; controls
// placed in it are its child windows, positioned relative to it, and hide with it.
#include "ui/Control.h"

namespace ui {

class Frame : public Control, public Container {
 public:
  void Create(Container& parent, std::string_view caption, const TwipsRect& rect,
              const CreateArgs& args = {});
  void CreateCopyOf(const Frame& model) { CreateAsCopyOf(model); }

  HWND ContainerHwnd() const override { return hwnd(); }
  Form& OwnerForm() override { return Parent()->OwnerForm(); }

  HBRUSH HandleCtlColor(HDC dc) override;
  LRESULT HandleSubclassMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;
};

}  // namespace ui

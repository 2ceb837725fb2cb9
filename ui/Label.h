#pragma once
// Label (a "Static" window) with its own text and background colours, optional
// bold font and a Change event when its caption changes.
#include "ui/Control.h"

namespace ui {

class Label : public Control {
 public:
  void Create(Container& parent, std::string_view caption, const TwipsRect& rect,
              const CreateArgs& args = {});
  void CreateCopyOf(const Label& model) { CreateAsCopyOf(model); }

  void SetForeColor(const Colour& colour);
  void SetBackColor(const Colour& colour);
  // Draws a thin border around the label.
  void SetBorder(bool border);
  // Sets the caption; fires OnChange when the text differs from the old one.
  void SetCaption(std::string_view text) override;
  // The label's width in twips for its caption, as an auto-sized label would have.
  int TextWidthTwips() const;

  std::function<void()> OnChange;
  std::function<void()> OnClick;

  void HandleCommand(int notifyCode) override;
};

}  // namespace ui

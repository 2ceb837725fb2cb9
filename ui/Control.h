#pragma once
// Base of every control of the forms layer: one real child window of a standard
// class, placed in twips inside its container (a form or a frame). Events are
// std::function callbacks set by the owning form.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "ui/Look.h"
#include "ui/Twips.h"

namespace ui {

class Form;

// Something controls can be placed in: a form or a frame.
class Container {
 public:
  virtual ~Container() = default;
  virtual HWND ContainerHwnd() const = 0;
  virtual Form& OwnerForm() = 0;
};

// Mouse event arguments: button mask (1 left, 2 right, 4 middle), shift mask
// (1 shift, 2 control), position in twips relative to the window.
struct MouseArgs {
  int button = 0;
  int shift = 0;
  int x = 0;
  int y = 0;
};
// The arguments of a mouse message (WM_MOUSEMOVE and the button messages).
MouseArgs MouseArgsFrom(WPARAM wp, LPARAM lp);

enum class Alignment { Left, Right, Center };

// How a control is created, named at the call: Create(..., {.visible = false}).
// Each control uses the fields that apply to it.
struct CreateArgs {
  bool visible = true;
  bool firstOfGroup = false;              // option buttons: starts a new group
  bool border = true;                     // picture boxes: a sunken border
  Alignment alignment = Alignment::Left;  // labels
  bool multiLine = false;                 // text boxes
  bool password = false;                  // text boxes: shows * for each character
  bool readOnly = false;                  // text boxes
  bool verticalScroll = false;            // text boxes
};

class Control {
 public:
  Control() = default;
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  HWND hwnd() const { return hwnd_; }
  bool Exists() const { return hwnd_ != nullptr; }

  // Geometry in twips, relative to the container.
  void Move(int left, int top, int width, int height);
  void SetLeft(int left) { Move(left, rect_.top, rect_.width, rect_.height); }
  void SetTop(int top) { Move(rect_.left, top, rect_.width, rect_.height); }
  int Left() const { return rect_.left; }
  int Top() const { return rect_.top; }
  int Width() const { return rect_.width; }
  int Height() const { return rect_.height; }
  const TwipsRect& Rect() const { return rect_; }

  void SetVisible(bool visible);
  bool Visible() const;
  void SetEnabled(bool enabled);
  bool Enabled() const;
  // Bring to the front (0) or send to the back (1) of its siblings.
  void ZOrder(int position = 0);
  void SetFocus();

  virtual void SetCaption(std::string_view text);
  virtual std::string Caption() const;

  void SetToolTipText(std::string_view text);
  const std::string& ToolTipText() const { return toolTip_; }

  void SetFontBold(bool bold);
  bool FontBold() const { return bold_; }

  Container* Parent() const { return container_; }

  std::string Tag;
  std::function<void(const MouseArgs&)> OnMouseMove;

  // Called by the form's window procedure.
  virtual void HandleCommand(int /*notifyCode*/) {}
  virtual HBRUSH HandleCtlColor(HDC dc);
  // Draws a control that draws itself (owner drawn); false when it does not.
  virtual bool HandleDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  virtual void HandleMouseMove(const MouseArgs& args);
  virtual LRESULT HandleSubclassMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  void DetachWindow();  // the window was destroyed with its parent

 protected:
  struct CreateParams {
    const wchar_t* className = L"";
    DWORD style = 0;
    DWORD exStyle = 0;
  };
  // Creates the window in the container. The control starts hidden when the
  // style lacks WS_VISIBLE.
  void CreateWindowIn(Container& container, const CreateParams& params, std::string_view text,
                      const TwipsRect& rect);
  // Creates this control as a copy of `model` (same container, class, style,
  // size, caption, font and colours), hidden. Subclasses copy their own looks.
  void CreateAsCopyOf(const Control& model);
  virtual void CopyLookFrom(const Control& /*model*/) {}
  // After the font was set (at creation, and when it turns bold or plain).
  virtual void FontApplied() {}
  // WS_VISIBLE when the arguments ask for a visible control.
  static DWORD VisibleStyle(const CreateArgs& args) { return args.visible ? WS_VISIBLE : 0; }
  // The colours of a control drawn on the button face (buttons, check boxes,
  // option buttons, frames): button text on the button face.
  static HBRUSH ButtonFaceColours(HDC dc);
  // Pixel rectangle for the current twips rectangle.
  RECT PixelRect() const;

  Colour foreColour_ = Colour::System(COLOR_BTNTEXT);
  Colour backColour_ = Colour::System(COLOR_BTNFACE);
  bool customColours_ = false;
  BrushHolder brush_;

 private:
  void ApplyFont();

  HWND hwnd_ = nullptr;
  Container* container_ = nullptr;
  CreateParams params_;
  TwipsRect rect_;
  std::string toolTip_;
  bool bold_ = false;
};

// The control that owns a child window, or null.
Control* ControlFromHwnd(HWND hwnd);

}  // namespace ui

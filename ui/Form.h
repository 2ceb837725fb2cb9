#pragma once
// A top-level window of the program: its controls are members, created by
// CreateControls() when the form loads, then Form_Load runs. A form
// can be loaded without being shown (test windows, the download engine), shown
// modeless or modal (with a real modal loop), hidden and unloaded; the form
// object outlives its window and can be loaded again.
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "ui/Control.h"

namespace ui {

// Why a form is about to close; the numbers are the ones the program's close
// handling has always used (0 the close box, 1 program code, 2 session end, 3 task manager).
enum class CloseReason {
  ControlMenu = 0,  // the close box or the system menu
  Code = 1,         // Unload from program code
  AppWindows = 2,   // Windows is ending the session
  TaskManager = 3,  // closed from outside (task manager, WM_CLOSE from another program)
  Owner = 5,
};

enum class BorderStyle { FixedSingle, FixedDialog, None, ToolWindow };

class Form : public Container {
 public:
  Form(std::string caption, int clientWidthTwips, int clientHeightTwips,
       BorderStyle border = BorderStyle::FixedSingle);
  ~Form() override;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Creates the window and its controls (hidden) and runs Form_Load. Loading a
  // loaded form does nothing; a load that fails with an error leaves the form
  // unloaded.
  void Load();
  bool IsLoaded() const { return hwnd_ != nullptr; }
  // Modeless: shows and returns. Modal: disables the other forms and returns
  // when this form is hidden or unloaded.
  void Show(bool modal = false);
  void Hide();
  // Asks Form_QueryUnload (reason Code), then runs Form_Unload and destroys the
  // window. Returns false when the form refused.
  bool Unload();
  bool Visible() const;
  // Runs `action` when the form's window gets to it in its message queue: after
  // the handler that posts it (a click) has returned. An action that would end
  // the window or the program is posted, so that no handler is left running on a
  // window that is gone. Dropped when the form unloads before it runs.
  void PostAction(std::function<void()> action);

  void SetCaption(std::string_view caption);
  std::string Caption() const;
  HWND hwnd() const { return hwnd_; }
  // 1 shows the form minimised whenever it is shown; 0 normal.
  void SetWindowState(int state);
  // Outer size and client size in twips.
  int Width() const;
  int Height() const;
  int ScaleWidth() const { return clientWidth_; }
  int ScaleHeight() const { return clientHeight_; }
  void SetClientSize(int widthTwips, int heightTwips);
  void CenterOnScreen();

  void SetToolTip(HWND control, const std::string& text);

  HWND ContainerHwnd() const override { return hwnd_; }
  Form& OwnerForm() override { return *this; }

  // Test support: closes as if from the close box, Windows or the task manager.
  void SimulateClose(CloseReason reason);

 protected:
  virtual void CreateControls() {}
  virtual void Form_Load() {}
  virtual void Form_QueryUnload(bool& /*cancel*/, CloseReason /*reason*/) {}
  virtual void Form_Unload() {}
  virtual void Form_MouseMove(const MouseArgs& /*args*/) {}
  // Other window messages; return true when handled.
  virtual bool FormMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) {
    return false;
  }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  bool CloseFor(CloseReason reason);  // QueryUnload + unload; false when refused
  void RunPostedAction();
  void DestroyWindowNow();
  DWORD Style() const;
  DWORD ExStyle() const;

  HWND hwnd_ = nullptr;
  HWND toolTip_ = nullptr;
  std::string caption_;
  int clientWidth_;
  int clientHeight_;
  BorderStyle border_;
  int windowState_ = 0;
  bool closingFromMenu_ = false;
  bool unloading_ = false;
  std::deque<std::function<void()>> posted_;
};

}  // namespace ui

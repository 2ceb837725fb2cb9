// The install center's entry point: the main window is the start-up object.
#include <windows.h>
#include <objbase.h>

#include "app/frmMain.h"
#include "base/Unhandled.h"
#include "diag/cSharedLogging.h"
#include "ui/Forms.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CoInitialize(nullptr);
  // An error that escapes a handler is logged; the window goes on.
  twi::SetUnhandledExceptionSink(
      [](const std::string& description) { twi::TheLog().AddAction(description, "", "frmMain"); });
  twi::frmMain main;
  main.Load();
  main.Show();
  int code = ui::RunMessageLoop();
  // The process ends without running the shared objects' destructors, as the
  // exit routine does.
  ExitProcess(static_cast<UINT>(code));
}

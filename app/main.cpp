// The install center's entry point: the main window is the start-up object. With
// arguments it is the administrators' command line instead (app/CommandRun.h).
#include <windows.h>
#include <objbase.h>

#include "app/CommandLine.h"
#include "app/CommandRun.h"
#include "app/RunLock.h"
#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "base/Unhandled.h"
#include "diag/cSharedLogging.h"
#include "ui/Forms.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
  CoInitialize(nullptr);
  // An error that escapes a handler is logged; the window goes on.
  twi::SetUnhandledExceptionSink(
      [](const std::string& description) { twi::TheLog().AddAction(description, "", "frmMain"); });
  twi::CommandRequest request = twi::ParseCommandLine(twi::ArgumentsOf(GetCommandLineW()));
  if (request.kind != twi::CommandKind::Window)
    ExitProcess(static_cast<UINT>(twi::RunCommand(request, twi::ToUtf8(arguments))));
  // The window holds its program folder while it runs, so that a command run there
  // waits for it; a second window starts as it always has.
  twi::RunLock lock(twi::AppFolder());
  lock.Acquire(0);
  twi::frmMain main;
  main.EndProcess = [&lock] {
    lock.Release();
    ExitProcess(0);
  };
  main.Load();
  main.Show();
  int code = ui::RunMessageLoop();
  lock.Release();
  // The process ends without running the shared objects' destructors, as the
  // exit routine does.
  ExitProcess(static_cast<UINT>(code));
}

#include <windows.h>

#include "ui/DoEvents.h"
#include "ui/Form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  ui::Form form("Tarnwick Software Install Center", 8955, 5460);
  form.Show();
  return ui::RunMessageLoop();
}

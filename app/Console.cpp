#include "app/Console.h"

#include "base/TextConv.h"

namespace twi {

Console::Console() {
  HANDLE given = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (given && given != INVALID_HANDLE_VALUE) {
    out_ = given;
    isConsole_ = GetConsoleMode(given, &mode) != 0;
    return;
  }
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  conout_.Reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr));
  out_ = conout_.Get();
  isConsole_ = out_ != nullptr;
}

void Console::Line(const std::string& text) {
  if (!out_) return;
  // Lines end in CR LF; a text that holds CR alone (message boxes break lines so)
  // shows its breaks.
  std::string line = ReplaceAll(ReplaceAll(text, "\r\n", "\n"), "\r", "\n");
  line = ReplaceAll(line, "\n", "\r\n") + "\r\n";
  DWORD written = 0;
  if (isConsole_) {
    std::wstring wide = ToWide(line);
    WriteConsoleW(out_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    std::string ansi = Utf8ToAnsi(line);
    WriteFile(out_, ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr);
  }
}

}  // namespace twi

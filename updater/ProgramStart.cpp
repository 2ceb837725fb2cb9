#include "updater/ProgramStart.h"

#include <windows.h>

#include "base/RuntimeError.h"
#include "base/TextConv.h"

namespace twi::updater {

StartedProcess StartProgramFile(const std::string& path, const std::string& folder,
                                std::string& why) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  std::wstring program = ToWide(path), line = L"\"" + program + L"\"", where = ToWide(folder);
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      where.c_str(), &startup, &process)) {
    // The system's text may name the file as "%1".
    why = ReplaceAll(RuntimeError::FromLastError().Description(), "%1",
                     path.substr(path.find_last_of('\\') + 1));
    return {};
  }
  UniqueHandle thread(process.hThread);
  return {UniqueHandle(process.hProcess), process.dwProcessId};
}

}  // namespace twi::updater

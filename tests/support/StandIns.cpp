#include "support/StandIns.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/TextConv.h"
#include "support/TestSupport.h"

namespace twitest {

std::string StandInPath(const std::string& file) {
  std::string unix = std::string(TWI_FIXTURE_DIR) + "/" + file;
  std::string windows = "Z:" + unix;
  for (char& c : windows)
    if (c == '/') c = '\\';
  return windows;
}

DWORD RunRegsvr32(const std::string& path, bool unregister) {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  std::wstring exe = std::wstring(system) + L"\\regsvr32.exe";
  std::wstring command = L"\"" + exe + L"\" /s " + (unregister ? L"/u " : L"") + L"\"" +
                         twi::ToWide(path) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!StartProcess(command, 0, nullptr, startup, process)) {
    ADD_FAILURE() << "regsvr32.exe did not start: " << GetLastError();
    return static_cast<DWORD>(-1);
  }
  WaitForSingleObject(process.hProcess, 30000);
  DWORD code = static_cast<DWORD>(-1);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

Registered::Registered(std::string file) : path_(StandInPath(file)) {
  EXPECT_EQ(RunRegsvr32(path_, false), 0u) << "registering " << path_;
}

Registered::~Registered() {
  EXPECT_EQ(RunRegsvr32(path_, true), 0u) << "unregistering " << path_;
}

Journal::Journal() {
  SetEnvironmentVariableW(L"TWI_STANDIN_JOURNAL", twi::ToWide(folder_.File("journal.txt")).c_str());
}

Journal::~Journal() { SetEnvironmentVariableW(L"TWI_STANDIN_JOURNAL", nullptr); }

std::vector<std::string> Journal::Lines() const {
  std::istringstream in(ReadFileBytes(folder_.File("journal.txt")));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Fault::Fault(const std::string& className) {
  SetEnvironmentVariableW(L"TWI_STANDIN_FAULT", twi::ToWide(className).c_str());
}

Fault::~Fault() { SetEnvironmentVariableW(L"TWI_STANDIN_FAULT", nullptr); }

bool StandInInUse(const std::string& file) {
  HMODULE module = GetModuleHandleW(twi::ToWide(file).c_str());
  if (!module) return false;
  using CanUnload = HRESULT(STDAPICALLTYPE*)();
  auto canUnload = reinterpret_cast<CanUnload>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  EXPECT_NE(canUnload, nullptr) << file;
  return canUnload && canUnload() == S_FALSE;
}

std::string ClassesRootText(const std::string& key, const char* value) {
  wchar_t buffer[1024];
  DWORD size = sizeof(buffer);
  std::wstring name = value ? twi::ToWide(value) : std::wstring();
  if (RegGetValueW(HKEY_CLASSES_ROOT, twi::ToWide(key).c_str(), value ? name.c_str() : nullptr,
                   RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
    return {};
  return twi::ToUtf8(buffer);
}

bool ClassesRootHas(const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, twi::ToWide(key).c_str(), 0, KEY_READ, &handle) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(handle);
  return true;
}

}  // namespace twitest

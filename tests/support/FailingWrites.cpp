#include "support/FailingWrites.h"

#include <algorithm>

#include "base/TextConv.h"

namespace twitest {
namespace {

using CreateFileCall = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                                       HANDLE);
using WriteFileCall = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);

template <class Call>
Call SystemCall(const char* name) {
  return reinterpret_cast<Call>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

std::set<HANDLE>* failing = nullptr;
const std::vector<std::string>* failingNames = nullptr;
DWORD failingError = 0;
int* refusedCount = nullptr;

bool EndsWithOneOf(const std::string& path, const std::vector<std::string>& names) {
  const std::string upper = twi::UpperAscii(path);
  return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
    return upper.size() >= name.size() &&
           upper.compare(upper.size() - name.size(), name.size(), name) == 0;
  });
}

HANDLE WINAPI CreateFileFailingLater(LPCWSTR name, DWORD access, DWORD share,
                                     LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                     DWORD flags, HANDLE templateFile) {
  static const auto create = SystemCall<CreateFileCall>("CreateFileW");
  HANDLE handle = create(name, access, share, security, disposition, flags, templateFile);
  if (failing && handle != INVALID_HANDLE_VALUE && name &&
      EndsWithOneOf(twi::ToUtf8(name), *failingNames))
    failing->insert(handle);
  return handle;
}

BOOL WINAPI WriteFileThatFails(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written,
                               LPOVERLAPPED overlapped) {
  static const auto write = SystemCall<WriteFileCall>("WriteFile");
  if (failing && failing->count(file)) {
    ++*refusedCount;
    if (written) *written = 0;
    SetLastError(failingError);
    return FALSE;
  }
  return write(file, bytes, count, written, overlapped);
}

std::vector<std::string> Upper(std::vector<std::string> names) {
  for (std::string& name : names) name = twi::UpperAscii(name);
  return names;
}

}  // namespace

FailingWrites::Faults::Faults(std::vector<std::string> upperNames, DWORD error)
    : names(std::move(upperNames)), error(error) {
  failing = &handles;
  failingNames = &names;
  failingError = error;
  refusedCount = &refused;
}

FailingWrites::Faults::~Faults() {
  failing = nullptr;
  failingNames = nullptr;
  refusedCount = nullptr;
}

FailingWrites::FailingWrites(std::vector<std::string> names, DWORD error)
    : faults_(Upper(std::move(names)), error),
      create_("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&CreateFileFailingLater)),
      write_("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&WriteFileThatFails)) {}

FailingWrites::~FailingWrites() = default;

int FailingWrites::Refused() const { return faults_.refused; }

}  // namespace twitest

#include "base/RuntimeError.h"

#include <windows.h>

#include <memory>

#include "base/TextConv.h"

namespace twi {

RuntimeError::RuntimeError(long number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

RuntimeError RuntimeError::WithSource(std::string source) const {
  RuntimeError copy = *this;
  copy.source_ = std::move(source);
  return copy;
}

std::string RuntimeError::StandardDescription(long number) {
  switch (number) {
    case 5: return "Invalid procedure call or argument";
    case 6: return "Overflow";
    case 7: return "Out of memory";
    case 9: return "Subscript out of range";
    case 13: return "Type mismatch";
    case 51: return "Internal error";
    case 52: return "Bad file name or number";
    case 53: return "File not found";
    case 54: return "Bad file mode";
    case 55: return "File already open";
    case 57: return "Device I/O error";
    case 58: return "File already exists";
    case 61: return "Disk full";
    case 62: return "Input past end of file";
    case 67: return "Too many files";
    case 68: return "Device unavailable";
    case 70: return "Permission denied";
    case 71: return "Disk not ready";
    case 75: return "Path/File access error";
    case 76: return "Path not found";
    case 339: return "Component not correctly registered or a file is missing";
    case 340: return "Control array element does not exist";
    case 360: return "Object already loaded";
    case 401: return "Can't show non-modal form when modal form is displayed";
    case 424: return "Object required";
    case 429: return "ActiveX component can't create object";
    default: return "";
  }
}

RuntimeError RuntimeError::Numbered(long number) {
  std::string text = StandardDescription(number);
  if (text.empty()) text = "Application-defined or object-defined error";
  return RuntimeError(number, text);
}

RuntimeError RuntimeError::FromWin32(unsigned long code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND: return Numbered(err::FileNotFound);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return Numbered(err::PathNotFound);
    case ERROR_TOO_MANY_OPEN_FILES: return Numbered(err::TooManyFiles);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_USER_MAPPED_FILE: return Numbered(err::PermissionDenied);
    case ERROR_NOT_READY: return Numbered(err::DiskNotReady);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return Numbered(err::DiskFull);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return Numbered(err::PathFileAccess);
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_HANDLE: return Numbered(err::BadFileNameOrNumber);
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE: return Numbered(err::DeviceIO);
    case ERROR_HANDLE_EOF: return Numbered(err::InputPastEnd);
    default: break;
  }
  std::string text = SystemMessageText(code);
  if (text.empty()) text = "System error " + std::to_string(code);
  return RuntimeError(err::PathFileAccess, text);
}

RuntimeError RuntimeError::FromLastError() { return FromWin32(GetLastError()); }

std::string SystemMessageText(unsigned long code) {
  wchar_t* raw = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
  std::unique_ptr<wchar_t, decltype(&LocalFree)> buffer(raw, &LocalFree);
  std::string text = n ? ToUtf8(std::wstring_view(buffer.get(), n)) : std::string();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                           text.back() == '.'))
    text.pop_back();
  return text;
}

}  // namespace twi

#pragma once
// The program's run-time error: a number and a description, as the rest of the
// program reports them ("File not found (53)"). Win32 failures are turned into
// one of these by one mapping, FromWin32.
#include <stdexcept>
#include <string>

namespace twi {

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(long number, std::string description);
  long Number() const { return number_; }
  const std::string& Description() const { return description_; }
  // Where the error was raised again to its caller ("CGUnZipFiles::Unzip"); ""
  // unless a routine named itself when it passed the error on.
  const std::string& Source() const { return source_; }
  // The same error with its source set, for a routine that raises it again.
  RuntimeError WithSource(std::string source) const;

  // The standard description of a run-time error number ("" when unknown).
  static std::string StandardDescription(long number);
  // A run-time error with its standard description.
  static RuntimeError Numbered(long number);
  // Maps a Win32 error code (GetLastError) to the run-time error the program
  // reports for it; codes without a run-time equivalent keep the system's text.
  static RuntimeError FromWin32(unsigned long win32Error);
  static RuntimeError FromLastError();

 private:
  long number_;
  std::string description_;
  std::string source_;
};

// The system's text for a Win32 error or HRESULT, without its trailing line break
// and full stop ("" when the system has none).
std::string SystemMessageText(unsigned long code);

// Well-known run-time error numbers.
namespace err {
constexpr long InvalidProcedureCall = 5;
constexpr long Overflow = 6;
constexpr long OutOfMemory = 7;
constexpr long TypeMismatch = 13;
constexpr long InternalError = 51;
constexpr long BadFileNameOrNumber = 52;
constexpr long FileNotFound = 53;
constexpr long BadFileMode = 54;
constexpr long FileAlreadyOpen = 55;
constexpr long DeviceIO = 57;
constexpr long FileAlreadyExists = 58;
constexpr long DiskFull = 61;
constexpr long InputPastEnd = 62;
constexpr long TooManyFiles = 67;
constexpr long DeviceUnavailable = 68;
constexpr long PermissionDenied = 70;
constexpr long DiskNotReady = 71;
constexpr long PathFileAccess = 75;
constexpr long PathNotFound = 76;
constexpr long ObjectRequired = 424;
constexpr long ControlArrayElementMissing = 340;
constexpr long ObjectAlreadyLoaded = 360;
constexpr long CannotShowNonModal = 401;
constexpr long CannotCreateObject = 429;
constexpr long ClassNotRegistered = 339;  // component not correctly registered
}  // namespace err

}  // namespace twi

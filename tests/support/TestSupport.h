#pragma once
// Helpers shared by the test executables: scratch folders, message-box
// recording, waiting while pumping messages, and the test servers' ports.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "base/RuntimeError.h"
#include "base/UniqueHandle.h"
#include "ui/MsgBox.h"

namespace twitest {

// A fresh folder under the system temporary folder, removed with its contents
// when the object goes away. Path without trailing backslash.
class ScratchFolder {
 public:
  // In Windows' temporary folder, or on the Unix side's /tmp (Z:\tmp), where a
  // test can reach the files with Unix tools.
  enum Place { InWindowsTemp, OnUnixTmp };
  explicit ScratchFolder(Place place = InWindowsTemp);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// Records every message box and answers it with the next scripted answer
// (OK / the first button when the script is empty). Restores the default
// answerer when destroyed.
class MsgBoxRecorder {
 public:
  MsgBoxRecorder();
  ~MsgBoxRecorder();
  void Answer(int result) { answers_.push_back(result); }
  const std::vector<ui::MsgBoxCall>& Calls() const { return calls_; }
  // Called when a box appears, before it is answered.
  std::function<void(const ui::MsgBoxCall&)> OnShow;

 private:
  std::vector<ui::MsgBoxCall> calls_;
  std::vector<int> answers_;
};

// Installs the answerer every test starts with: a message box that the test
// does not expect fails it, and is answered with its first button (Yes, Retry
// or OK) so that the test can go on to its end.
void FailOnUnexpectedMsgBox();

// Pumps window messages until `done` is true or the time is up; true when done.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
// Pumps window messages for the given time.
void PumpFor(std::chrono::milliseconds duration);

// File helpers (UTF-8 paths).
std::string ReadFileBytes(const std::string& path);
// The lines of a text, split at CR LF; a last line without CR LF counts too.
std::vector<std::string> SplitLines(const std::string& bytes);
// The text of a log line ("1 HH:mm:ss, text" gives "text").
std::string LogTextOf(const std::string& line);
// The shared log's file after its pending actions were written to it.
std::string FlushedLog();
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);

// A Unix path as Wine's Z: drive shows it ("/tmp/x" gives "Z:\tmp\x").
std::string WindowsPathOf(const std::string& unixPath);
// Folder of the program and test executables, and the source tree (Windows paths).
std::string BinDir();
std::string SourceDir();
std::string ProbeExe();
// CreateProcessW for tests: a program start under Wine on a busy machine now
// and then fails at once (ERROR_INTERNAL_ERROR and the like), so a failed start
// is tried twice more, a moment apart. False with GetLastError() of the last try.
bool StartProcess(std::wstring& commandLine, DWORD flags, const wchar_t* folder,
                  STARTUPINFOW& startup, PROCESS_INFORMATION& process, BOOL inheritHandles = FALSE);
// Holds a file open in this process for reading and writing, letting others
// share it as `share` says (0: nobody else may open it), until it goes.
class FileHeldOpen {
 public:
  explicit FileHeldOpen(const std::string& path, DWORD share = 0);
  bool Held() const { return static_cast<bool>(handle_); }

 private:
  twi::UniqueHandle handle_;
};
// Names in a folder (files and folders, without "." and ".."), sorted.
std::vector<std::string> FolderNames(const std::string& folder);
// Writes the file `filler` until its disk is full; false when the disk never filled.
bool FillDisk(const std::string& filler);
// Runs a command line, captures its standard output, returns its exit code.
long RunAndCapture(const std::string& commandLine, std::string& output);
// Makes a file under Z: immutable (chattr +i: no change, not even by root) or
// changeable again; false when that cannot be done here.
bool SetImmutable(const std::string& path, bool immutable);
// Sets (or, with "", removes) the Windows version Wine shows one program.
void SetWineVersionFor(const std::string& exeName, const std::string& version);
// The most memory this process has held in its working set so far, in bytes.
SIZE_T PeakWorkingSet();

// Runs `call`, which must raise a run-time error, and returns that error (a test
// failure when it raises none).
template <class Call>
twi::RuntimeError ErrorOf(Call call) {
  try {
    call();
  } catch (const twi::RuntimeError& e) {
    return e;
  }
  ADD_FAILURE() << "no run-time error raised";
  return twi::RuntimeError(0, "");
}

// Port of a test server started by tests/tools/with-servers ("" when absent).
std::string EnvVar(const char* name);
int ServerPort(const char* name);  // "HTTP" reads TWI_HTTP_PORT; 0 when absent

}  // namespace twitest

#pragma once
// Replaces, for the running test program only, the address its import table
// holds for one function of a system DLL, and puts the original back when
// destroyed. Tests use it where Wine offers a function that the Windows it poses
// as lacks (MoveFileExW on Windows 98), or to count the calls the program makes.
#include <windows.h>

namespace twitest {

class ImportHook {
 public:
  ImportHook(const char* dll, const char* function, void* replacement);
  ~ImportHook();
  ImportHook(const ImportHook&) = delete;
  ImportHook& operator=(const ImportHook&) = delete;

  // False when the program does not import the function.
  bool Installed() const { return slot_ != nullptr; }
  void* Original() const { return original_; }

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

}  // namespace twitest

#pragma once
// Where an entry's bytes go: a file (through a temporary file that only becomes the
// target once the entry checked out), the print routine, or nowhere (test mode).
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace unzip32 {

class EntryOutput {
 public:
  virtual ~EntryOutput() = default;
  // False when the bytes could not be written (GetLastError tells why).
  virtual bool Write(const unsigned char* data, std::size_t size) = 0;
};

// Writes to a temporary file in the target's folder. Commit() gives it the entry's time
// and moves it over the target; without Commit() the temporary file is removed.
class FileOutput : public EntryOutput {
 public:
  FileOutput() = default;
  ~FileOutput() override;
  FileOutput(const FileOutput&) = delete;
  FileOutput& operator=(const FileOutput&) = delete;

  // False (GetLastError tells why) when no file could be made in `folder` (also when
  // `folder` is too long for a temporary file's name in MAX_PATH characters).
  bool Create(const std::wstring& folder);
  bool Write(const unsigned char* data, std::size_t size) override;
  bool Commit(const std::wstring& target, const FILETIME* lastWrite);

 private:
  void Discard();

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::wstring tempPath_;
};

// Sends the bytes to a routine (the print routine in "write to standard output" mode).
class RoutineOutput : public EntryOutput {
 public:
  using Routine = int(WINAPI*)(LPSTR, unsigned long);
  explicit RoutineOutput(Routine routine) : routine_(routine) {}
  bool Write(const unsigned char* data, std::size_t size) override;

 private:
  Routine routine_;
};

// Turns every LF not preceded by CR into CR LF before handing the bytes on.
class LineEndOutput : public EntryOutput {
 public:
  explicit LineEndOutput(EntryOutput& next) : next_(next) {}
  bool Write(const unsigned char* data, std::size_t size) override;

 private:
  EntryOutput& next_;
  std::vector<unsigned char> converted_;
  bool lastWasCR_ = false;
};

}  // namespace unzip32

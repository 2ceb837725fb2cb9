#pragma once
// File services: copy with result codes, erase, existence tests, dates, path
// splitting (accepting "/" and "\"), text files in the ANSI code page, and
// output files opened under the lowest free file number. Every routine traps
// its own errors: callers get a failure value, never an exception.
#include <functional>
#include <memory>
#include <string>

#include "base/Date.h"

namespace ui {
class PictureBox;
}

namespace twi {

class cSharedProgress;

// Copy result codes.
namespace copyresult {
constexpr long Copied = 0;
constexpr long SystemCopyFailed = 1;
constexpr long SourceMissing = 53;
constexpr long InUse = 70;
constexpr long ReadOnlyTarget = 75;
}  // namespace copyresult

// A copy result in words for a message ("" for Copied).
std::string CopyFailureReason(long copyResult);

class cSharedFileSubs {
 public:
  cSharedFileSubs();
  ~cSharedFileSubs();
  cSharedFileSubs(const cSharedFileSubs&) = delete;
  cSharedFileSubs& operator=(const cSharedFileSubs&) = delete;

  bool CopyFile(const std::string& source, const std::string& destination,
                ui::PictureBox* statusBar = nullptr);
  // 0 copied (with the source's modification time), 1 the system copy failed,
  // 53 source missing, 75 read-only destination, 70 destination in use, else the
  // run-time error number. The destination is replaced only by a complete copy.
  long CopyFileWithRetCode(const std::string& source, const std::string& destination,
                           ui::PictureBox* statusBar = nullptr);
  double ReadCopyFileSize() const { return copySize_; }
  double ReadCopyFileProgress() const { return copyProgress_; }
  // Raised every 1500000 bytes of a block copy: bytes remaining, copied, destination.
  std::function<void(double remaining, double copied, const std::string& destination)> Progress;

  bool FileExists(const std::string& name);
  bool FolderExists(const std::string& name);
  bool MkMissingDir(const std::string& name);
  bool isReadonly(const std::string& name);
  bool MakeReadWrite(const std::string& name);
  bool EraseFile(const std::string& name);
  Date FileDate(const std::string& name);
  bool SetFileDateTime(const std::string& name, const Date& when);

  std::string PathOnly(const std::string& path);
  std::string FileOnly(const std::string& path);
  std::string AddSlashIfMissing(const std::string& path);
  std::string ExtractUNCShare(const std::string& path);

  bool LoadTextFile(const std::string& name, std::string& text);
  bool ReadTextFile(const std::string& name, std::string& text) { return LoadTextFile(name, text); }
  bool WriteTextFile(const std::string& name, const std::string& text);
  int CreateOutputFile(const std::string& name);
  int OpenAppendFile(const std::string& name);
  long RunFile(const std::string& name, const std::string& workingFolder = "");

  // Block size of the Windows 9x copy and the interval of its progress reports.
  static constexpr long kBlockSize = 256000;
  static constexpr long kProgressInterval = 1500000;

 private:
  long CopyOnNt(const std::string& source, const std::string& temp);
  long CopyInBlocks(const std::string& source, const std::string& temp,
                    const std::string& destination);
  long ReplaceDestination(const std::string& temp, const std::string& destination);
  cSharedProgress& StatusPainter();

  double copySize_ = 0;
  double copyProgress_ = 0;
  ui::PictureBox* statusBar_ = nullptr;
  std::unique_ptr<cSharedProgress> painter_;  // created on first need
};

cSharedFileSubs& TheFileSubs();

}  // namespace twi

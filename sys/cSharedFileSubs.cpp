#include "sys/cSharedFileSubs.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "base/FileSystem.h"
#include "base/FileTable.h"
#include "base/FindHandle.h"
#include "base/NoDestructor.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "base/UniqueHandle.h"
#include "base/cSharedOSInfo.h"
#include "diag/TrapToLog.h"
#include "diag/cSharedLogging.h"
#include "sys/cSHAREDDelay.h"
#include "sys/cSharedProgress.h"

namespace twi {
namespace {

std::string BackslashesOnly(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

DWORD CALLBACK CopyProgressRoutine(LARGE_INTEGER total, LARGE_INTEGER transferred, LARGE_INTEGER,
                                   LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE, LPVOID data) {
  auto* sizes = static_cast<std::pair<double*, double*>*>(data);
  *sizes->first = static_cast<double>(total.QuadPart);
  *sizes->second = static_cast<double>(transferred.QuadPart);
  return PROGRESS_CONTINUE;
}

constexpr const char* kModule = "cFile";

// The temporary file a copy is written to before it replaces the destination.
std::string TempNameBeside(const std::string& destination) { return destination + ".twcopy"; }

bool IsInUseError(DWORD code) {
  return code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED ||
         code == ERROR_USER_MAPPED_FILE || code == ERROR_LOCK_VIOLATION;
}

}  // namespace

cSharedFileSubs::cSharedFileSubs() = default;
cSharedFileSubs::~cSharedFileSubs() = default;

cSharedProgress& cSharedFileSubs::StatusPainter() {
  if (!painter_) painter_ = std::make_unique<cSharedProgress>();
  return *painter_;
}

// ---- existence and attributes ----

bool cSharedFileSubs::FileExists(const std::string& name) { return IsExistingFile(name); }

namespace {

bool IsFolder(const WIN32_FIND_DATAW& data) {
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ListsDirectory(const std::string& pattern) {
  FindHandle find(pattern);
  if (!find.Found()) return false;
  do {
    if (IsFolder(find.Data())) return true;
  } while (find.Next());
  return false;
}

bool ListsAnything(const std::string& pattern) { return FindHandle(pattern).Found(); }

}  // namespace

bool cSharedFileSubs::FolderExists(const std::string& name) {
  if (name.rfind("\\\\", 0) == 0) {
    std::string withSlash = AddSlashIfMissing(name);
    if (name == ExtractUNCShare(name)) return ListsAnything(withSlash + "*.*");
    return ListsDirectory(withSlash) || ListsDirectory(withSlash + "*");
  }
  if (name.size() >= 2 && name.size() < 4 && name[1] == ':') return true;
  std::string path = name;
  if (!path.empty() && path.back() == '\\') path.pop_back();
  if (path.empty()) return false;
  FindHandle find(path);
  return find.Found() && IsFolder(find.Data());
}

bool cSharedFileSubs::MkMissingDir(const std::string& name) {
  if (Trim(name).empty() || FolderExists(name)) return false;
  auto create = [&](const std::string& folder) {
    if (!FolderExists(folder) && !CreateDirectoryW(ToWide(folder).c_str(), nullptr))
      RecordTrapped(RuntimeError::FromLastError(), "MkMissingDir", kModule);
  };
  size_t firstSlash = name.find('\\', 1);
  if (firstSlash != std::string::npos && name[0] != '\\') {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t pos; (pos = name.find('\\', start)) != std::string::npos; start = pos + 1)
      pieces.push_back(name.substr(start, pos - start));
    pieces.push_back(name.substr(start));
    std::string folder = pieces[0] + "\\";
    for (size_t i = 1; i < pieces.size(); ++i) {
      if (pieces[i].empty()) continue;
      folder += pieces[i] + "\\";
      create(folder);
    }
  } else {
    create(name);
  }
  return true;
}

bool cSharedFileSubs::isReadonly(const std::string& name) {
  DWORD attributes = GetFileAttributesW(ToWide(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool cSharedFileSubs::MakeReadWrite(const std::string& name) {
  if (!FileExists(name)) return false;
  return SetFileAttributesW(ToWide(name).c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
}

bool cSharedFileSubs::EraseFile(const std::string& name) {
  unsigned long code = RemoveFile(name);
  if (code == 0) return true;
  TheLog().AddAction(ErrorText(RuntimeError::FromWin32(code)) + " erasing " + name, "EraseFile",
                     kModule);
  return false;
}

Date cSharedFileSubs::FileDate(const std::string& name) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!FileExists(name) ||
      !GetFileAttributesExW(ToWide(name).c_str(), GetFileExInfoStandard, &data))
    return Date{};
  FILETIME local;
  SYSTEMTIME time;
  FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
  FileTimeToSystemTime(&local, &time);
  return Date::FromSystemTime(time);
}

bool cSharedFileSubs::SetFileDateTime(const std::string& name, const Date& when) {
  if (!FileExists(name)) return false;
  SYSTEMTIME time = when.ToSystemTime();
  time.wMilliseconds = 0;
  FILETIME local, utc;
  if (!SystemTimeToFileTime(&time, &local) || !LocalFileTimeToFileTime(&local, &utc)) return false;
  UniqueHandle file(CreateFileW(ToWide(name).c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && SetFileTime(file.Get(), nullptr, nullptr, &utc);
}

// ---- paths ----

std::string cSharedFileSubs::PathOnly(const std::string& path) {
  size_t slash = BackslashesOnly(path).find_last_of('\\');
  return slash == std::string::npos ? ".\\" : path.substr(0, slash + 1);
}

std::string cSharedFileSubs::FileOnly(const std::string& path) {
  std::string mapped = BackslashesOnly(path);
  size_t slash = mapped.find_last_of('\\');
  return slash == std::string::npos ? mapped : mapped.substr(slash + 1);
}

std::string cSharedFileSubs::AddSlashIfMissing(const std::string& path) {
  return path.empty() || path.back() == '\\' ? path : path + "\\";
}

std::string cSharedFileSubs::ExtractUNCShare(const std::string& path) {
  size_t afterServer = path.find('\\', 2);
  if (afterServer == std::string::npos) return path;
  size_t afterShare = path.find('\\', afterServer + 1);
  return afterShare == std::string::npos ? path : path.substr(0, afterShare);
}

// ---- copying ----

bool cSharedFileSubs::CopyFile(const std::string& source, const std::string& destination,
                               ui::PictureBox* statusBar) {
  return CopyFileWithRetCode(source, destination, statusBar) == copyresult::Copied;
}

long cSharedFileSubs::CopyFileWithRetCode(const std::string& source,
                                          const std::string& givenDestination,
                                          ui::PictureBox* statusBar) {
  statusBar_ = statusBar;
  std::string destination = givenDestination;
  if (FileOnly(destination).empty() && !destination.empty())
    destination = AddSlashIfMissing(destination) + FileOnly(source);
  if (!FileExists(source)) {
    TheLog().LogEvent(source + " doesn't exist, can't copy it");
    return copyresult::SourceMissing;
  }
  if (FileExists(destination) && !MakeReadWrite(destination)) {
    TheLog().LogEvent(destination +
                      " is read only, can't change it to read write, can't update it");
    return copyresult::ReadOnlyTarget;
  }
  Date sourceDate = FileDate(source);
  // The copy goes to a temporary file beside the destination; only a complete
  // copy replaces the old file, so a failed copy never leaves nothing behind.
  std::string temp = TempNameBeside(destination);
  long result = TheOSInfo().IsWindowsNT() ? CopyOnNt(source, temp)
                                           : CopyInBlocks(source, temp, destination);
  if (result == copyresult::Copied) result = ReplaceDestination(temp, destination);
  if (result != copyresult::Copied) {
    DeleteFileW(ToWide(temp).c_str());
    return result;
  }
  SetFileDateTime(destination, sourceDate);
  return copyresult::Copied;
}

long cSharedFileSubs::CopyOnNt(const std::string& source, const std::string& temp) {
  // The progress routine keeps these current where the system calls it; the
  // size is known before and the whole of it is copied after success either way.
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(ToWide(source).c_str(), GetFileExInfoStandard, &data);
  copySize_ = static_cast<double>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) |
                                  data.nFileSizeLow);
  copyProgress_ = 0;
  std::pair<double*, double*> sizes{&copySize_, &copyProgress_};
  BOOL cancel = FALSE;
  if (!CopyFileExW(ToWide(source).c_str(), ToWide(temp).c_str(), CopyProgressRoutine, &sizes,
                   &cancel, COPY_FILE_RESTARTABLE))
    return copyresult::SystemCopyFailed;
  copyProgress_ = copySize_;
  return copyresult::Copied;
}

long cSharedFileSubs::CopyInBlocks(const std::string& source, const std::string& temp,
                                   const std::string& destination) {
  FileTable& files = TheFiles();
  long result = copyresult::Copied;
  std::optional<RuntimeError> error = Trapping([&] {
    ScopedFile in(source, FileMode::BinaryRead);
    std::int64_t length = files.Length(in.Number());
    if (length > 0x7FFFFFFF) {
      // Too long for the block copy's counters: the system's plain copy.
      in.Close();
      result = ::CopyFileW(ToWide(source).c_str(), ToWide(temp).c_str(), FALSE)
                   ? copyresult::Copied
                   : copyresult::SystemCopyFailed;
      return;
    }
    ScopedFile out(temp, FileMode::BinaryWrite);
    copySize_ = static_cast<double>(length);
    copyProgress_ = 0;
    double sinceReport = 0;
    std::int64_t left = length;
    while (left > 0) {
      DWORD want = static_cast<DWORD>(left > kBlockSize ? kBlockSize : left);
      std::string bytes = files.Read(in.Number(), want);
      files.Write(out.Number(), bytes);
      left -= want;
      copyProgress_ += kBlockSize;
      sinceReport += kBlockSize;
      if (sinceReport >= kProgressInterval) {
        if (Progress) Progress(copySize_ - copyProgress_, copyProgress_, destination);
        if (statusBar_)
          StatusPainter().ShowProgressString(*statusBar_, copyProgress_, copySize_, source);
        TheDelay().RegularDoEvents();
        sinceReport = 0;
      }
    }
  });
  return error ? error->Number() : result;
}

long cSharedFileSubs::ReplaceDestination(const std::string& temp, const std::string& destination) {
  DWORD code = ReplaceFileWith(temp, destination);
  if (code == 0) return copyresult::Copied;
  // A destination that a running program holds open or has loaded is in use.
  if (IsInUseError(code) && FileExists(destination)) return copyresult::InUse;
  return TheOSInfo().IsWindowsNT() ? copyresult::SystemCopyFailed
                                   : RuntimeError::FromWin32(code).Number();
}

// ---- text files ----

bool cSharedFileSubs::LoadTextFile(const std::string& name, std::string& text) {
  text.clear();
  if (!FileExists(name)) return false;
  return TrapToLog("LoadTextFile", kModule, [&] {
    ScopedFile file(name, FileMode::BinaryRead);
    text = AnsiToUtf8(TheFiles().ReadAll(file.Number()));
  });
}

int cSharedFileSubs::CreateOutputFile(const std::string& name) {
  if (FileExists(name) && isReadonly(name) && !MakeReadWrite(name)) {
    TheLog().LogEvent(name + " is read only, can't change it to read write, can't update it");
    return -1;
  }
  int number = -1;
  TrapToLog("CreateOutputFile", kModule, [&] { number = TheFiles().Open(name, FileMode::Output); });
  return number;
}

int cSharedFileSubs::OpenAppendFile(const std::string& name) {
  if (!FileExists(name)) return CreateOutputFile(name);
  if (isReadonly(name) && !MakeReadWrite(name)) {
    TheLog().LogEvent(name + " is read only, can't change it to read write, can't update it");
    return -1;
  }
  int number = -1;
  TrapToLog("OpenAppendFile", kModule, [&] { number = TheFiles().Open(name, FileMode::Append); });
  return number;
}

bool cSharedFileSubs::WriteTextFile(const std::string& name, const std::string& text) {
  ScopedFile file(CreateOutputFile(name));
  if (!file) return false;
  return TrapToLog("WriteTextFile", kModule, [&] {
    TheFiles().Write(file.Number(), Utf8ToAnsi(text));
    file.Close();
  });
}

long cSharedFileSubs::RunFile(const std::string& name, const std::string& workingFolder) {
  std::wstring quoted = L"\"" + ToWide(name) + L"\"";
  std::wstring folder = ToWide(workingFolder);
  auto code = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", quoted.c_str(), nullptr,
                                                      folder.empty() ? nullptr : folder.c_str(),
                                                      SW_SHOWNORMAL));
  return static_cast<long>(code);
}

cSharedFileSubs& TheFileSubs() { return SharedInstance<cSharedFileSubs>(); }

std::string CopyFailureReason(long copyResult) {
  switch (copyResult) {
    case copyresult::Copied: return "";
    case copyresult::SystemCopyFailed: return "the system could not copy the file";
    case copyresult::SourceMissing: return "the file to copy is missing";
    case copyresult::InUse: return "the file there is in use";
    case copyresult::ReadOnlyTarget: return "the file there is read-only";
    default: {
      std::string text = RuntimeError::StandardDescription(copyResult);
      return text.empty() ? "error " + std::to_string(copyResult) : text;
    }
  }
}

}  // namespace twi

#pragma once
// Plain file system queries and changes that report nothing anywhere: the
// building blocks of the file services, and what the log uses for its own file
// (the log must never record its own failures).
#include <string>

namespace twi {

// True when `path` names an existing file (not a folder).
bool IsExistingFile(const std::string& path);
// Clears the read-only attribute and deletes the file; the Win32 error code of
// the deletion, 0 when the file is gone (or was never there).
unsigned long RemoveFile(const std::string& path);
// The length of a file in bytes; a missing file is run-time error 53, any
// other failure the mapped Win32 error.
long long FileLen(const std::string& path);
// `path` with one backslash at its end ("" stays "").
std::string WithTrailingBackslash(const std::string& path);

}  // namespace twi

#pragma once
// Plain file system queries and changes that report nothing anywhere: the
// building blocks of the file services, and what the log uses for its own file
// (the log must never record its own failures).
#include <string>

namespace twi {

// True when `path` names an existing file (not a folder).
bool IsExistingFile(const std::string& path);
// Clears the read-only attribute of a file (its other attributes stay); the Win32
// error code, 0 when the file is writable by its attributes (or is not there).
unsigned long MakeWritable(const std::string& path);
// Clears the read-only attribute and deletes the file; the Win32 error code of
// the deletion, 0 when the file is gone (or was never there).
unsigned long RemoveFile(const std::string& path);
// The length of a file in bytes; a missing file is run-time error 53, any
// other failure the mapped Win32 error.
long long FileLen(const std::string& path);
// Puts the complete file `replacement` (beside `destination`, on the same
// drive) in the place of `destination`, as the running Windows can: the NT
// family replaces it in one step (MoveFileExW); Windows 95, 98 and Me have no
// MoveFileExW, so there the old file is deleted and the new one renamed to its
// name (the old one is kept until the new one is complete, and stays when it
// cannot be deleted). The way is chosen from the platform id. The Win32 error
// code, 0 when `destination` holds the new file.
unsigned long ReplaceFileWith(const std::string& replacement, const std::string& destination);
// Removes a folder with everything in it (read-only files too), or a file; what
// cannot be removed stays. Nothing to do when `path` does not exist.
void RemoveTree(const std::string& path);
// `path` with one backslash at its end ("" stays "").
std::string WithTrailingBackslash(const std::string& path);

}  // namespace twi

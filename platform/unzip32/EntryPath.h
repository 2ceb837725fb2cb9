#pragma once
// Turns an entry's stored name into the place it is written to: decodes the name,
// keeps it inside the target folder, and applies the naming options.
#include <string>
#include <vector>

#include "platform/unzip32/ZipReader.h"

namespace unzip32 {

// Wide-character text of the entry's stored name: UTF-8 when the entry says so,
// code page 437 for names made on DOS, OS/2 or Windows file systems, else ANSI.
std::wstring DecodeEntryName(const EntryInfo& info);

// ANSI text for printing and for the callbacks ("?" where ANSI has no character).
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);

struct EntryPath {
  std::vector<std::wstring> folders;  // sub-folders below the target, outermost first
  std::wstring fileName;              // empty for a folder entry
  bool strippedAbsolute = false;      // a leading slash or drive letter was dropped
  bool skippedParent = false;         // ".." components were dropped

  // "a/b/c.txt" (or "a/b/" for a folder) as printed.
  std::wstring Display() const;
};

struct NamingOptions {
  bool honorDirectories = true;
  bool spaceToUnderscore = false;
};

EntryPath MakeEntryPath(const std::wstring& storedName, const NamingOptions& options);

}  // namespace unzip32

#pragma once
// The compiled-in catalogue of the sixteen programs the install center serves,
// in list order, and the lookup by catalogue key (the upper-cased list text).
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace twi {

struct ProgramEntry {
  std::string_view ListText;
  std::string_view CatalogueKey;
  std::string_view MessageName;
  std::string_view Description;
  std::string_view VersionFile;
  std::vector<std::string_view> ExtraRuntimes;  // runtime component keys
};

// All rows in list order (row 0 first).
std::span<const ProgramEntry> Catalogue();
// The row whose key equals `key` exactly (ordinal, whole string), or null.
const ProgramEntry* FindProgramByKey(std::string_view key);
// The key derived from a list text: ASCII letters upper-cased, all else kept.
std::string CatalogueKeyOf(std::string_view listText);
// Main server base + "versions/" + the row's version file.
std::string VersionFileAddress(const ProgramEntry& entry);

}  // namespace twi

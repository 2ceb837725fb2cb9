#pragma once
// Fetches one package for the installers: a ready copy in the program folder's
// Local folder (under `subFolder` there) is used when present (and copied to
// localFolder + fileName, where the installers unpack it), otherwise the
// window's download client downloads `url` into localFolder + fileName while
// "Stop Current Download" is shown. The file is then checked: an empty file or
// a failed transfer, a file shorter than the server announced, and a short file
// that is the server's HTML error page are erased and reported. A transfer that
// leaves no file at all is raised to the caller as "Error while downloading: "
// + the error's description (number unchanged); so is a ready copy that cannot
// be put in localFolder, and a file name of the install center's own files
// (install/OwnFiles.h), which no download takes.
//
// A file that passed those checks is then held against the maker's signed hash:
// `expected` when the caller has one (from a version file), else the signed list of
// runtime packages of the server `url` is on (a Local copy too, when that list can be
// fetched). A refused file is erased, one box says why, and the refusal is raised to
// the caller (error 70), so that nothing of it is unpacked, copied or run.
//
// True when a checked file is at localFolder + fileName.
#include <string>

#include "update/SignedFiles.h"

namespace twi::install {

class MainWindowView;

bool DownloadFile(MainWindowView& window, const std::string& localFolder,
                  const std::string& fileName, const std::string& url,
                  const std::string& subFolder, const Expectation* expected = nullptr);

// The local package folder: program folder + "\Local\".
std::string LocalPackageFolder();

inline constexpr const char* kDownloadFailed = "Download Failed";
inline constexpr const char* kShortDownload = "File didn't download properly. Please try again.";
// Followed by the maker's web site address.
inline constexpr const char* kNotOnServer =
    "File not found on server. Try again later, or update your copy of the Tarnwick Installer "
    "from ";

}  // namespace twi::install

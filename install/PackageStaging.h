#pragma once
// A folder of one package's own inside the folder it is unpacked to. The zip
// library writes there; a package that unpacked is then moved into the target,
// file by file, except the install center's own files (install/OwnFiles.h), which
// are left out. Whatever is still there when the object goes (all of a package
// that failed: refused, stopped, a bad entry) goes with it, so a failed package
// leaves nothing behind, and no earlier file is touched before the package proved
// good.
#include <string>
#include <vector>

namespace twi::install {

class PackageStaging {
 public:
  // Makes the folder in `target` (a run-time error when it cannot be made).
  explicit PackageStaging(const std::string& target);
  ~PackageStaging();
  PackageStaging(const PackageStaging&) = delete;
  PackageStaging& operator=(const PackageStaging&) = delete;

  // Without a trailing backslash.
  const std::string& Path() const { return path_; }
  const std::string& Target() const { return target_; }

  struct Outcome {
    std::vector<std::string> leftOut;  // own files, relative to the target, sorted
    std::vector<std::string> failed;   // "<path>: <reason>" for each file not put in place
  };
  // Moves every file and folder into the target, replacing files of the same name.
  Outcome MoveIntoTarget();

 private:
  void PutFolder(const std::string& relative, Outcome& outcome);
  void PutFile(const std::string& relative, Outcome& outcome);

  std::string target_;
  std::string path_;
};

}  // namespace twi::install

#pragma once
// TWInstall.exe.previous: the install center as it was before the package ran,
// kept beside it until the new one is known to work, and put back when it does
// not. It is written through a temporary file (TWInstall.exe.previous.part), so a
// copy cut short never stands as the kept one.
#include <string>

namespace twi::updater {

class KeptCopy {
 public:
  // `original`: the install center's program file.
  explicit KeptCopy(std::string original);

  const std::string& Path() const { return path_; }
  bool Exists() const;
  // Copies the original aside, in two steps: to the temporary file, then that to
  // the kept copy's name. The Win32 error code of each, 0 when done.
  unsigned long CopyAside() const;
  unsigned long Complete() const;
  bool HasPartOfOne() const;  // a temporary file left by a copy cut short
  // Whether the original holds the very bytes of the kept copy.
  bool SameAsOriginal() const;
  // Puts the copy in the original's place. The Win32 error code, 0 when back.
  unsigned long PutBack() const;
  // Removes the copy (and a temporary one left by a copy cut short).
  void Discard() const;
  void DiscardPart() const;

 private:
  std::string original_;
  std::string path_;
  std::string partial_;
};

}  // namespace twi::updater

#pragma once
// updater.log in the program folder: what the update program did, one line per
// step ("YYYY-MM-DD HH:mm:ss text"), appended so that earlier updates stay on
// record. Written in the ANSI code page with CR LF line ends, like the install
// center's own log. A line that cannot be written is dropped: logging never
// stops the update.
#include <string>

namespace twi::updater {

class UpdaterLog {
 public:
  explicit UpdaterLog(std::string path) : path_(std::move(path)) {}
  void Write(const std::string& text) const;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace twi::updater

#include "sys/CGUnzipFiles.h"

#include "base/Trap.h"
#include "sys/UnzipMessages.h"
#include "sys/VBUnzip.h"

namespace twi {

long CGUnzipFiles::Unzip(const std::string& sZipFileName, const std::string& sExtractDir) {
  long result = 0;
  std::optional<RuntimeError> error = Trapping([&] {
    if (!sZipFileName.empty()) zipFileName_ = sZipFileName;
    if (!sExtractDir.empty()) extractDir_ = sExtractDir;
    result = VBUnzip(*this);
  });
  if (error) throw error->WithSource("CGUnZipFiles::Unzip");  // raised again to the caller
  return result;
}

std::string CGUnzipFiles::GetLastMessage() const { return TheUnzipMessages().LastMessage; }

}  // namespace twi

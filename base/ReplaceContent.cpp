#include "base/ReplaceContent.h"

#include "base/FileSystem.h"
#include "base/FileTable.h"
#include "base/Trap.h"

namespace twi {

std::string ReplacementFileOf(const std::string& file) { return file + ".new"; }

ReplaceOutcome ReplaceContent(const std::string& file, std::string_view bytes,
                              std::optional<RuntimeError>& error) {
  const std::string replacement = ReplacementFileOf(file);
  RemoveFile(replacement);  // left behind by a write that was interrupted
  ScopedFile out;
  if (!Ignoring([&] { out = ScopedFile(replacement, FileMode::Output); }))
    return ReplaceOutcome::NotCreated;
  error = Trapping([&] {
    TheFiles().Write(out.Number(), bytes);
    out.Close();
  });
  if (error) {
    out.Close();
    RemoveFile(replacement);
    return ReplaceOutcome::WriteFailed;
  }
  if (ReplaceFileWith(replacement, file) == 0) return ReplaceOutcome::Replaced;
  RemoveFile(replacement);
  return ReplaceOutcome::ReplaceRefused;
}

}  // namespace twi

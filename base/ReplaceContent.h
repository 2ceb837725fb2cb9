#pragma once
// Writing a file's whole new content without ever leaving it half written: the content
// goes to a file beside it (`<file>.new`), which then takes the old file's place. A
// failed or interrupted write leaves the old file as it was.
#include <optional>
#include <string>
#include <string_view>

#include "base/RuntimeError.h"

namespace twi {

enum class ReplaceOutcome {
  Replaced,        // `file` holds the new content
  NotCreated,      // the folder took no new file; `file` is unchanged
  WriteFailed,     // writing the new content failed (`error`); `file` is unchanged
  ReplaceRefused,  // the new content could not take the old file's place; `file` unchanged
};

// The file beside `file` that the new content is written to first.
std::string ReplacementFileOf(const std::string& file);

// Writes `bytes` (as they are) beside `file` and puts them in its place. A leftover of an
// interrupted write is removed first; the file beside is removed on every failure.
ReplaceOutcome ReplaceContent(const std::string& file, std::string_view bytes,
                              std::optional<RuntimeError>& error);

}  // namespace twi

#pragma once
// The zip extraction's module-wide message state, one copy for the process:
// the text the library printed during the last run, the print buffer while a
// run goes on, whether the password question was left empty in this run, and
// an error a callback met (raised again once the library has returned: the
// library is C code that an exception must not cross). Only one extraction
// runs at a time.
#include <optional>
#include <string>

#include "base/RuntimeError.h"

namespace twi {

class UnzipMessages {
 public:
  // Starts a run: every field cleared.
  void Reset();
  // Appends a printed piece; LastMessage follows the buffer.
  void Append(const std::string& piece);

  std::string LastMessage;
  std::string PrintBuffer;
  bool PasswordSkipped = false;
  std::optional<RuntimeError> CallbackError;  // the first error a callback met
};

UnzipMessages& TheUnzipMessages();

}  // namespace twi

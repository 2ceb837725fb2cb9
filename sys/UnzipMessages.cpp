#include "sys/UnzipMessages.h"

#include "base/NoDestructor.h"

namespace twi {

void UnzipMessages::Reset() {
  LastMessage.clear();
  PrintBuffer.clear();
  PasswordSkipped = false;
  CallbackError.reset();
}

void UnzipMessages::Append(const std::string& piece) {
  PrintBuffer += piece;
  LastMessage = PrintBuffer;
}

UnzipMessages& TheUnzipMessages() { return SharedInstance<UnzipMessages>(); }

}  // namespace twi

#include "platform/inet/KernelEvent.h"

#include "base/RuntimeError.h"

namespace twi::inet {

KernelEvent::KernelEvent(Reset reset)
    : handle_(CreateEventW(nullptr, reset == Reset::Manual, FALSE, nullptr)) {
  if (!handle_) throw RuntimeError::FromLastError();
}

}  // namespace twi::inet

#include "base/Trap.h"

#include <exception>
#include <new>

namespace twi {

RuntimeError CurrentError() {
  try {
    throw;
  } catch (const RuntimeError& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return RuntimeError::Numbered(err::OutOfMemory);
  } catch (const std::exception& e) {
    std::string text = e.what();
    return RuntimeError(err::InternalError,
                        text.empty() ? RuntimeError::StandardDescription(err::InternalError) : text);
  } catch (...) {
    return RuntimeError::Numbered(err::InternalError);
  }
}

std::string ErrorText(const RuntimeError& error, ErrorStyle style) {
  const std::string number = std::to_string(error.Number());
  switch (style) {
    case ErrorStyle::Tight: return error.Description() + "(" + number + ")";
    case ErrorStyle::NumberDash: return number + " - " + error.Description();
    case ErrorStyle::NumberHyphen: return number + "-" + error.Description();
    case ErrorStyle::Spaced:
    default: return error.Description() + " (" + number + ")";
  }
}

}  // namespace twi

#include "base/Unhandled.h"

#include <windows.h>

#include "base/TextConv.h"
#include "base/Trap.h"

namespace twi {
namespace {

UnhandledSink& Sink() {
  static UnhandledSink sink;
  return sink;
}

}  // namespace

void SetUnhandledExceptionSink(UnhandledSink sink) { Sink() = std::move(sink); }

void ReportUnhandledException() {
  std::string text = ErrorText(CurrentError());
  if (Sink() && Ignoring([&] { Sink()(text); })) return;
  OutputDebugStringW(ToWide("Unhandled in window procedure: " + text).c_str());
}

}  // namespace twi

#include "ui/Unhandled.h"

#include <windows.h>

#include <exception>

#include "sys/RuntimeError.h"
#include "sys/TextConv.h"

namespace ui {
namespace {

UnhandledSink& Sink() {
  static UnhandledSink sink;
  return sink;
}

}  // namespace

void SetUnhandledExceptionSink(UnhandledSink sink) { Sink() = std::move(sink); }

void ReportUnhandledException() {
  std::string text;
  try {
    throw;
  } catch (const twi::RuntimeError& e) {
    text = e.Description() + " (" + std::to_string(e.Number()) + ")";
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    text = "Unknown error";
  }
  try {
    if (Sink()) {
      Sink()(text);
      return;
    }
  } catch (...) {
  }
  OutputDebugStringW(twi::ToWide("Unhandled in window procedure: " + text).c_str());
}

}  // namespace ui

#pragma once
// The runtime components that the scan tests and the installer knows: per
// component key its place in the scan, its test routine's name, the text logged
// before its test and a factory for its test window. In the scan's order, then
// COMDLG32 and TABCTL32, which the scan never tests.
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "install/TestWindow.h"

namespace twi::install {

struct RuntimeComponent {
  std::string_view key;              // "MSINET"
  std::optional<int> scanPosition;   // 1 to 8; none for components the scan skips
  std::string_view testRoutine;      // "TestMSINET"
  std::string_view logText;          // "Testing MSINET"
  std::unique_ptr<TestWindow> (*createTestWindow)();
};

std::span<const RuntimeComponent> RuntimeComponents();
// The component of a key (exact, upper case); nullptr when there is none.
const RuntimeComponent* FindRuntimeComponent(std::string_view key);

}  // namespace twi::install

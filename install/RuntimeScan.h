#pragma once
// The runtime scan of the main window: for the selected program, each runtime
// component it needs is tried in a hidden test window, and one result row per
// component shows "OK", or "Fail" with an "Install" button for that component.
// The scan keeps which row the next test fills and whether the Internet control,
// which every other install needs, passed.
#include <string>
#include <string_view>

namespace twi {

namespace install {
class MainWindowView;
class TestWindow;
}  // namespace install

// How a scan ended: every test passed, some failed, or an error outside the
// tests stopped it.
enum class ScanOutcome { AllPassed, SomeFailed, Stopped };

class RuntimeScan {
 public:
  explicit RuntimeScan(install::MainWindowView& window) : window_(window) {}

  // The click of "Scan Runtimes".
  ScanOutcome Scan();
  // Runs one test window in the next row, shows the result, moves to the next row.
  bool ControlOK(install::TestWindow& testForm);
  // The test routine of a component (TestMSINET, TestMSComCT2, …): logs its
  // text, runs its test window through ControlOK. False for an unknown key.
  bool TestComponent(std::string_view componentKey);
  // Tests the Internet control alone, always in row 0; InetOK() is its result.
  bool TestMSINET();

  // The rows the last scan filled (the next test's row).
  int NextRow() const { return nextRow_; }
  // The Internet control passed its last test.
  bool InetOK() const { return inetOK_; }

  static constexpr const char* kAllPassed =
      "Passed all tests. The selected program should run perfectly.";
  static constexpr const char* kSomeFailed =
      "One or more tests failed. Click INSTALL to fix each problem. (You must be connected to "
      "the internet to fix all but the MSINET control)";

 private:
  bool ScanSelectedProgram();  // true when every test passed
  bool Needed(std::string_view componentKey) const;

  install::MainWindowView& window_;
  int nextRow_ = 0;
  bool inetOK_ = false;
};

}  // namespace twi

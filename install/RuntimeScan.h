#pragma once
// The runtime scan of the main window: for the selected program, each runtime
// component it needs is tried in a hidden test window, and one result row per
// component shows "OK", or "Fail" with an "Install" button that carries the
// component key in its tag.
#include <string>
#include <string_view>

namespace twi {

namespace install {
class MainWindowLink;
class TestWindow;
}  // namespace install

class RuntimeScan {
 public:
  explicit RuntimeScan(install::MainWindowLink& window) : window_(window) {}

  // The click of "Scan Runtimes".
  void Scan();
  // Creates (when needed) and places row NextRow; its button's tag := the key.
  void PrepareResultRow(const std::string& componentKey);
  // Runs one test window in row NextRow, shows the result, advances NextRow.
  bool ControlOK(install::TestWindow& testForm);
  // The test routine of a component (TestMSINET, TestMSComCT2, …): logs its
  // text, runs its test window through ControlOK. False for an unknown key.
  bool TestComponent(std::string_view componentKey);
  // Tests the Internet control alone, always in row 0.
  bool TestMSINET();

  // Vertical place of result row `row` in twips from the top of the result frame.
  static int RowTop(int row);

  static constexpr const char* kAllPassed =
      "Passed all tests. The selected program should run perfectly.";
  static constexpr const char* kSomeFailed =
      "One or more tests failed. Click INSTALL to fix each problem. (You must be connected to "
      "the internet to fix all but the MSINET control)";

 private:
  void ScanSelectedProgram();
  install::MainWindowLink& window_;
};

}  // namespace twi

#include "install/RuntimeScan.h"

#include <algorithm>
#include <optional>

#include "base/DoEvents.h"
#include "base/Trap.h"
#include "diag/cSharedLogging.h"
#include "install/Catalogue.h"
#include "install/MainWindowLink.h"
#include "install/RuntimeComponents.h"
#include "install/TestWindow.h"
#include "sys/cSHAREDDelay.h"

namespace twi {

int RuntimeScan::RowTop(int row) { return static_cast<int>(475.0f * row + 340.0f); }

void RuntimeScan::Scan() {
  // An error outside the tests ends the scan; the status line stays as it was
  // and the window is idle again.
  Ignoring([&] { ScanSelectedProgram(); });
  window_.EnableControls();
}

void RuntimeScan::ScanSelectedProgram() {
  install::MainWindowLink& w = window_;
  w.DisableControls();
  w.ShowProgramInfo(false);
  w.SetStatus("Scanning");
  DoEvents();
  w.InetOK = false;
  const ProgramEntry* entry = FindProgramByKey(CatalogueKeyOf(w.SelectedProgram()));
  auto needed = [&](std::string_view key) {
    if (key == "MSINET" || key == "MSCOMCTL") return true;
    return entry && std::find(entry->ExtraRuntimes.begin(), entry->ExtraRuntimes.end(), key) !=
                        entry->ExtraRuntimes.end();
  };
  w.NextRow = 0;
  TheLog().LogEvent("Beginning scan", false);
  bool allPassed = true;
  for (const install::RuntimeComponent& component : install::RuntimeComponents()) {
    if (!component.scanPosition || !needed(component.key)) continue;
    PrepareResultRow(std::string(component.key));
    bool passed = component.key == "MSINET" ? TestMSINET() : TestComponent(component.key);
    if (component.key == "MSINET") {
      w.InetOK = passed;
      allPassed = passed;
    } else {
      allPassed = allPassed && passed;
    }
  }
  w.SetStatus(allPassed ? kAllPassed : kSomeFailed);
}

void RuntimeScan::PrepareResultRow(const std::string& componentKey) {
  install::MainWindowLink& w = window_;
  const int row = w.NextRow;
  Ignoring([&] { w.lblOK.Load(row); });
  Ignoring([&] { w.lblFail.Load(row); });
  Ignoring([&] { w.lblControlName.Load(row); });
  Ignoring([&] { w.cmdInstall.Load(row); });
  const int top = RowTop(row);
  Ignoring([&] { w.lblControlName[row].SetTop(top); });
  Ignoring([&] { w.lblFail[row].SetTop(top); });
  Ignoring([&] { w.lblOK[row].SetTop(top); });
  Ignoring([&] { w.cmdInstall[row].SetTop(top - 100); });
  Ignoring([&] { w.cmdInstall[row].Tag = componentKey; });
}

bool RuntimeScan::ControlOK(install::TestWindow& testForm) {
  install::MainWindowLink& w = window_;
  const int row = w.NextRow;
  std::optional<RuntimeError> lastError;
  // Error 360 (already loaded) is no failure; any other error is remembered,
  // shown on the status line, and the next step runs.
  auto step = [&](auto action) {
    std::optional<RuntimeError> error = Trapping(action);
    if (!error || error->Number() == err::ObjectAlreadyLoaded) return;
    lastError = error;
    w.SetStatus("ControlOK: " + error->Description());
  };
  step([&] { TheDelay().Delay(0.15); });
  step([&] { testForm.Load(); });
  step([&] { w.lblOK.Load(row); });
  step([&] { w.lblFail.Load(row); });
  step([&] { w.lblControlName.Load(row); });
  step([&] { w.cmdInstall.Load(row); });
  std::string name;
  step([&] { name = testForm.Description(); });
  step([&] {
    w.lblControlName[row].SetCaption(name);
    w.lblControlName[row].SetVisible(true);
  });
  step([&] { testForm.Test(); });
  bool result = !lastError;
  if (lastError) {
    step([&] { w.lblFail[row].SetVisible(true); });
    step([&] { w.cmdInstall[row].SetVisible(true); });
    TheLog().LogEvent("Error in " + name, false);
    TheLog().LogEvent(ErrorText(*lastError, ErrorStyle::NumberDash), false);
  } else {
    step([&] { w.lblOK[row].SetVisible(true); });
    TheLog().LogEvent(name + " Passed.", false);
  }
  w.NextRow = static_cast<short>(row + 1);
  DoEvents();
  return result;
}

bool RuntimeScan::TestComponent(std::string_view componentKey) {
  const install::RuntimeComponent* component = install::FindRuntimeComponent(componentKey);
  if (!component) return false;
  TheLog().LogEvent(std::string(component->logText), false);
  std::unique_ptr<install::TestWindow> testForm = component->createTestWindow();
  bool result = ControlOK(*testForm);
  Ignoring([&] { testForm->Unload(); });
  return result;
}

bool RuntimeScan::TestMSINET() {
  window_.NextRow = 0;
  return TestComponent("MSINET");
}

}  // namespace twi

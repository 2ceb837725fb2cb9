#include "install/RuntimeScan.h"

#include <algorithm>

#include "base/DoEvents.h"
#include "base/Trap.h"
#include "diag/RoutineSteps.h"
#include "diag/cSharedLogging.h"
#include "install/Catalogue.h"
#include "install/MainWindowView.h"
#include "install/RuntimeComponents.h"
#include "install/TestWindow.h"
#include "sys/cSHAREDDelay.h"

namespace twi {

ScanOutcome RuntimeScan::Scan() {
  // An error outside the tests ends the scan; the status line stays as it was
  // and the window is idle again.
  ScanOutcome outcome = ScanOutcome::Stopped;
  Ignoring([&] {
    outcome = ScanSelectedProgram() ? ScanOutcome::AllPassed : ScanOutcome::SomeFailed;
  });
  window_.ShowIdle();
  return outcome;
}

bool RuntimeScan::Needed(std::string_view key) const {
  if (key == "MSINET" || key == "MSCOMCTL") return true;
  const ProgramEntry* entry = FindProgramByKey(CatalogueKeyOf(window_.SelectedProgram()));
  return entry && std::find(entry->ExtraRuntimes.begin(), entry->ExtraRuntimes.end(), key) !=
                      entry->ExtraRuntimes.end();
}

bool RuntimeScan::ScanSelectedProgram() {
  install::MainWindowView& w = window_;
  w.ShowBusy();
  w.ClearRows();
  w.SetStatus("Scanning");
  DoEvents();
  inetOK_ = false;
  nextRow_ = 0;
  TheLog().LogEvent("Beginning scan", false);
  bool allPassed = true;
  for (const install::RuntimeComponent& component : install::RuntimeComponents()) {
    if (!component.scanPosition || !Needed(component.key)) continue;
    Ignoring([&] { w.PrepareRow(nextRow_, std::string(component.key)); });
    if (component.key == "MSINET") {
      allPassed = TestMSINET();
    } else {
      allPassed = TestComponent(component.key) && allPassed;
    }
  }
  w.SetStatus(allPassed ? kAllPassed : kSomeFailed);
  return allPassed;
}

bool RuntimeScan::ControlOK(install::TestWindow& testForm) {
  install::MainWindowView& w = window_;
  const int row = nextRow_;
  // Error 360 (already loaded) is no failure; any other error is remembered,
  // shown on the status line, and the next step runs.
  RoutineSteps step({.routine = "ControlOK",
                     .passOver = err::ObjectAlreadyLoaded,
                     .onError = [&](const RuntimeError& error) {
                       w.SetStatus("ControlOK: " + error.Description());
                     }});
  step([&] { TheDelay().Delay(0.15); });
  step([&] { testForm.Load(); });
  std::string name;
  step([&] { name = testForm.Description(); });
  step([&] { w.ShowRowName(row, name); });
  step([&] { testForm.Test(); });
  const bool result = !step.LastError();
  step([&] { w.ShowRowResult(row, result); });
  if (result) {
    TheLog().LogEvent(name + " Passed.", false);
  } else {
    TheLog().LogEvent("Error in " + name, false);
    TheLog().LogEvent(ErrorText(*step.LastError(), ErrorStyle::NumberDash), false);
  }
  nextRow_ = row + 1;
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
  nextRow_ = 0;
  inetOK_ = TestComponent("MSINET");
  return inetOK_;
}

}  // namespace twi

#include "install/RuntimeComponents.h"

#include <array>

#include "install/frmCmnDlg32.h"
#include "install/frmGrid.h"
#include "install/frmInet.h"
#include "install/frmMSComCT2.h"
#include "install/frmMSComCTL.h"
#include "install/frmRchText.h"
#include "install/frmSpeech40.h"
#include "install/frmSpeech50.h"
#include "install/frmTabCtl32.h"
#include "install/frmWinsock.h"

namespace twi::install {
namespace {

template <class Window>
std::unique_ptr<TestWindow> Create() {
  return std::make_unique<Window>();
}

using enum InstallerKind;

const std::array<RuntimeComponent, 10> kComponents{{
    {.key = "MSINET", .scanPosition = 1, .logText = "Testing MSINET",
     .createTestWindow = &Create<frmInet>, .installer = LocalInternetControl,
     .packages = {{{"Msinet.oc_"}}}, .systemFiles = {"msinet.ocx"}},
    {.key = "MSCOMCT2", .scanPosition = 2, .logText = "Testing MSComCT2",
     .createTestWindow = &Create<frmMSComCT2>, .installer = ZipIntoSystemFolder,
     .packages = {{{"MSCOMCT2.zip"}}}, .systemFiles = {"MsComCt2.ocx"}},
    {.key = "MSCOMCTL", .scanPosition = 3, .logText = "Testing MSComCtl",
     .createTestWindow = &Create<frmMSComCTL>, .installer = ZipIntoSystemFolder,
     .packages = {{{"MSCOMCTL.zip"}}}, .systemFiles = {"MsComCtl.ocx"}},
    {.key = "MSWINSCK", .scanPosition = 4, .logText = "Testing MSWINSCK",
     .createTestWindow = &Create<frmWinsock>, .installer = ZipIntoSystemFolder,
     .packages = {{{"MSWINSCK.zip"}}}, .systemFiles = {"MSWinSck.ocx"}},
    {.key = "MSFLXGRD", .scanPosition = 5, .logText = "Testing Grid",
     .createTestWindow = &Create<frmGrid>, .installer = ZipIntoSystemFolder,
     .packages = {{{"MSFLXGRD.zip"}}}, .systemFiles = {"MsFlxGrd.ocx"}},
    // Riched32.dll is often in use: it waits for the reboot instead.
    {.key = "RICHTXT", .scanPosition = 6, .logText = "Testing Richtext",
     .createTestWindow = &Create<frmRchText>, .installer = ZipIntoSystemFolder,
     .packages = {{{"RICHED.zip"}}},
     .byWindowsVersion = true, .systemFiles = {"Riched32.dll", "Richtx32.ocx"},
     .whenInUse = WhenInUse::ReplaceAtReboot},
    {.key = "SPEECH1", .scanPosition = 7, .logText = "Testing Sapi40",
     .createTestWindow = &Create<frmSpeech40>, .installer = SpeechInstallers,
     .packages = {{{"spchapi.EXE", "SPCHAPI.EXE"}, {"msttsL.EXE", "msttsl.EXE"}}},
     .runs = {{{"Installing Speech API", "spchapi.EXE", "/Q"},
               {"Installing Text-to-Speech Languages", "msttsL.EXE", "/Q"}}}},
    {.key = "SPEECH2", .scanPosition = 8, .logText = "Testing Sapi51",
     .createTestWindow = &Create<frmSpeech50>, .installer = SpeechInstallers,
     .packages = {{{"Sapi51.zip"}}}, .unpackInto = "Sapi5",
     .runs = {{{"Installing Speech API", "Sapi5\\setup.EXE", ""}}}},
    {.key = "COMDLG32", .scanPosition = std::nullopt, .logText = "Testing CmnDlg32",
     .createTestWindow = &Create<frmCmnDlg32>, .installer = ZipIntoSystemFolder,
     .packages = {{{"COMDLG32.zip"}}}, .systemFiles = {"ComDlg32.ocx"}},
    {.key = "TABCTL32", .scanPosition = std::nullopt, .logText = "Testing TabCTL32",
     .createTestWindow = &Create<frmTabCtl32>, .installer = ZipIntoSystemFolder,
     .packages = {{{"TABCTL32.zip"}}}, .systemFiles = {"TabCtl32.ocx"}},
}};

}  // namespace

std::span<const RuntimeComponent> RuntimeComponents() { return kComponents; }

const RuntimeComponent* FindRuntimeComponent(std::string_view key) {
  for (const RuntimeComponent& component : kComponents)
    if (component.key == key) return &component;
  return nullptr;
}

}  // namespace twi::install

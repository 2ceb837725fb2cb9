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

const std::array<RuntimeComponent, 10> kComponents{{
    {"MSINET", 1, "TestMSINET", "Testing MSINET", &Create<frmInet>},
    {"MSCOMCT2", 2, "TestMSComCT2", "Testing MSComCT2", &Create<frmMSComCT2>},
    {"MSCOMCTL", 3, "TestMSComCtl", "Testing MSComCtl", &Create<frmMSComCTL>},
    {"MSWINSCK", 4, "TestMSWINSCK", "Testing MSWINSCK", &Create<frmWinsock>},
    {"MSFLXGRD", 5, "TestGrid", "Testing Grid", &Create<frmGrid>},
    {"RICHTXT", 6, "TestRichtext", "Testing Richtext", &Create<frmRchText>},
    {"SPEECH1", 7, "TestSapi40", "Testing Sapi40", &Create<frmSpeech40>},
    {"SPEECH2", 8, "TestSapi51", "Testing Sapi51", &Create<frmSpeech50>},
    {"COMDLG32", std::nullopt, "TestCmnDlg32", "Testing CmnDlg32", &Create<frmCmnDlg32>},
    {"TABCTL32", std::nullopt, "TestTabCTL32", "Testing TabCTL32", &Create<frmTabCtl32>},
}};

}  // namespace

std::span<const RuntimeComponent> RuntimeComponents() { return kComponents; }

const RuntimeComponent* FindRuntimeComponent(std::string_view key) {
  for (const RuntimeComponent& component : kComponents)
    if (component.key == key) return &component;
  return nullptr;
}

}  // namespace twi::install

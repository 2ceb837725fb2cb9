// The runtime scan's test windows, created through the component table: each
// fails to load while its control is not registered, answers Description
// always, and its Test reaches the control with the right call.
#include <gtest/gtest.h>

#include <windows.h>
#include <sapi.h>

#include "base/Bstr.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "install/RuntimeComponents.h"
#include "net/ServerAddresses.h"
#include "platform/activex/ComPtr.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

namespace {

using twitest::ErrorOf;

using twi::RuntimeError;
using twi::install::FindRuntimeComponent;
using twi::install::TestWindow;
using twitest::Journal;
using twitest::Registered;
using Lines = std::vector<std::string>;

struct WindowCase {
  const char* key;
  const char* standIn;       // stand-in file
  const char* component;     // file named by the load error
  const char* description;
  const char* faultyClass;   // the class whose failure Test must pass on
  Lines calls;               // what Test sends to the control(s)
};

std::vector<WindowCase> ControlWindows() {
  return {
      {"MSINET", "msinet.ocx", "MSINET.OCX", "Internet Control (MSInet.ocx)",
       "InetCtlsObjects.Inet",
       {"InetCtlsObjects.Inet put 9 \"" + twi::MainServerHost() + "\""}},
      {"MSCOMCT2", "MsComCt2.ocx", "MSCOMCT2.OCX", "Common Controls 2 (MSComCT2.ocx)",
       "MSComCtl2.FlatScrollBar", {"MSComCtl2.FlatScrollBar put -2147418099 true"}},
      {"MSCOMCTL", "MsComCtl.ocx", "MSCOMCTL.OCX", "Common Controls (MSComCTL.ocx)",
       "MSComctlLib.ListView",
       {"MSComctlLib.ListView get ListItems",
        "MSComctlLib.ListView.ListItems call Add missing missing \"Test\""}},
      {"MSWINSCK", "MSWinSck.ocx", "MSWINSCK.OCX", "Winsock Control (MSWinSck.ocx)",
       "MSWinsockLib.Winsock", {"MSWinsockLib.Winsock call 70"}},
      {"MSFLXGRD", "MsFlxGrd.ocx", "MSFLXGRD.OCX", "Grid Control (MSFlxGrd.ocx)",
       "MSFlexGridLib.MSFlexGrid", {"MSFlexGridLib.MSFlexGrid put 7 0"}},
      {"RICHTXT", "Richtx32.ocx", "RICHTX32.OCX", "Rich Text controls (Richtx32.ocx)",
       "RichTextLib.RichTextBox", {"RichTextLib.RichTextBox put -517 \"Test\""}},
      {"COMDLG32", "ComDlg32.ocx", "COMDLG32.OCX", "Common Dialog Control (CmnDlg32.ocx)",
       "MSComDlg.CommonDialog", {"MSComDlg.CommonDialog put 3 \"dummy\""}},
      {"TABCTL32", "TabCtl32.ocx", "TABCTL32.OCX", "Tabbed Dialog Control (TabCtl32.ocx)",
       "TabDlg.SSTab", {"TabDlg.SSTab put -518 \"Testing\""}},
  };
}

std::unique_ptr<TestWindow> WindowOf(const char* key) {
  const twi::install::RuntimeComponent* component = FindRuntimeComponent(key);
  if (!component) throw std::logic_error(std::string("no component ") + key);
  return component->createTestWindow();
}


void ExpectMissing(const RuntimeError& e, const WindowCase& c) {
  EXPECT_EQ(e.Number(), 339) << c.key;
  EXPECT_EQ(e.Description(), std::string("Component '") + c.component +
                                 "' or one of its dependencies not correctly registered: a "
                                 "file is missing or invalid");
}

TEST(TestWindows, ControlWindowsFailToLoadWithoutTheirControlAndDescribeThemselves) {
  for (const WindowCase& c : ControlWindows()) {
    SCOPED_TRACE(c.key);
    std::unique_ptr<TestWindow> window = WindowOf(c.key);
    ExpectMissing(ErrorOf([&] { window->Load(); }), c);
    EXPECT_FALSE(window->IsLoaded());
    EXPECT_EQ(window->Description(), c.description);
    // Test on the unloaded window loads it again and meets the same error.
    ExpectMissing(ErrorOf([&] { window->Test(); }), c);
    EXPECT_TRUE(window->Unload());
  }
}

TEST(TestWindows, ControlWindowsTestTheirControlOnceRegistered) {
  for (const WindowCase& c : ControlWindows()) {
    SCOPED_TRACE(c.key);
    std::unique_ptr<TestWindow> window = WindowOf(c.key);
    // The same window object loads once the control has been registered.
    EXPECT_THROW(window->Load(), RuntimeError);
    Registered registered(c.standIn);
    Journal journal;
    window->Load();
    EXPECT_TRUE(window->IsLoaded());
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(window->Description(), c.description);
    EXPECT_TRUE(twitest::StandInInUse(c.standIn));
    window->Test();
    EXPECT_EQ(journal.Lines(), c.calls);
    {
      twitest::Fault fault(c.faultyClass);
      RuntimeError e = ErrorOf([&] { window->Test(); });
      EXPECT_EQ(e.Number(), 32001);
      EXPECT_EQ(e.Description(), std::string("Stand-in fault in ") + c.faultyClass);
    }
    EXPECT_TRUE(window->Unload());
    EXPECT_FALSE(window->IsLoaded());
    // Unloading released every control and every object the test obtained.
    EXPECT_FALSE(twitest::StandInInUse(c.standIn));
  }
}

TEST(TestWindows, SpeechFourSpeaksThroughTheThirdMethodAfterIDispatch) {
  std::unique_ptr<TestWindow> window = WindowOf("SPEECH1");
  EXPECT_EQ(window->Description(), "Speech API 4.0");
  window->Load();  // hosts nothing: loads without the speech object
  RuntimeError missing = ErrorOf([&] { window->Test(); });
  EXPECT_EQ(missing.Number(), 429);
  EXPECT_EQ(missing.Description(), "ActiveX component can't create object");

  Registered registered("twspeech4.dll");
  Journal journal;
  window->Test();
  EXPECT_EQ(journal.Lines(),
            (Lines{"TWStandIn.VoiceText4 speak \"Tarnwick software speech test\""}));
  twitest::Fault fault("TWStandIn.VoiceText4");
  EXPECT_EQ(ErrorOf([&] { window->Test(); }).Number(), 32001);
  EXPECT_FALSE(twitest::StandInInUse("twspeech4.dll"));  // released, also after a failure
  window->Unload();
}

TEST(TestWindows, SpeechFiveSpeaksSynchronouslyThroughISpeechVoice) {
  std::unique_ptr<TestWindow> window = WindowOf("SPEECH2");
  EXPECT_EQ(window->Description(), "Speech API 5.x");
  window->Load();
  Registered registered("twspeech5.dll");
  Journal journal;
  window->Test();
  EXPECT_EQ(journal.Lines(),
            (Lines{"TWStandIn.SpVoice5 call 12 \"Tarnwick software speech test\" 0"}));
  twitest::Fault fault("TWStandIn.SpVoice5");
  RuntimeError e = ErrorOf([&] { window->Test(); });
  EXPECT_EQ(e.Number(), 32001);
  EXPECT_EQ(e.Description(), "Stand-in fault in TWStandIn.SpVoice5");
  EXPECT_FALSE(twitest::StandInInUse("twspeech5.dll"));
  window->Unload();
}

// What the SAPI 5 test meets with Wine's own SpVoice (sapi.dll), registered in
// every fresh prefix: it must report exactly what the voice itself answers to
// Speak, and come back. (Wine 8.0 creates the voice but answers E_NOTIMPL.)
TEST(TestWindows, SpeechFiveAgainstWinesOwnVoiceReportsWhatTheVoiceAnswers) {
  const CLSID spVoice = {
      0x96749377, 0x3391, 0x11D2, {0x9E, 0xE3, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
  const IID iSpeechVoice = {
      0x269316D8, 0x57BD, 0x11D2, {0x9E, 0xEE, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
  // The typed call below needs the real interface: the stand-in serves only the
  // IDispatch part of ISpeechVoice.
  std::string server = twitest::ClassesRootText(
      "CLSID\\{96749377-3391-11D2-9EE3-00C04F797396}\\InprocServer32");
  ASSERT_FALSE(twi::ContainsNoCase(server, "twspeech5")) << "stand-in left registered";
  twi::activex::ComPtr<ISpeechVoice> voice;
  ASSERT_EQ(CoCreateInstance(spVoice, nullptr, CLSCTX_INPROC_SERVER, iSpeechVoice,
                             voice.PutVoid()),
            S_OK);
  twi::Bstr text("Tarnwick software speech test");
  long stream = 0;
  HRESULT spoken = voice->Speak(text.Get(), SVSFDefault, &stream);
  voice.Reset();

  std::unique_ptr<TestWindow> window = WindowOf("SPEECH2");
  window->Load();
  if (SUCCEEDED(spoken)) {
    EXPECT_NO_THROW(window->Test());
  } else {
    RuntimeError e = ErrorOf([&] { window->Test(); });
    EXPECT_EQ(e.Number(), static_cast<long>(spoken));
    EXPECT_FALSE(e.Description().empty());
    RecordProperty("WineSpeakError", std::to_string(e.Number()) + " " + e.Description());
  }
  window->Unload();
}

TEST(RuntimeComponentTable, ScanOrderLogTextsAndWindows) {
  struct Row {
    const char* key;
    std::optional<int> position;
    const char* log;
    const char* description;
  };
  const Row expected[] = {
      {"MSINET", 1, "Testing MSINET", "Internet Control (MSInet.ocx)"},
      {"MSCOMCT2", 2, "Testing MSComCT2", "Common Controls 2 (MSComCT2.ocx)"},
      {"MSCOMCTL", 3, "Testing MSComCtl", "Common Controls (MSComCTL.ocx)"},
      {"MSWINSCK", 4, "Testing MSWINSCK", "Winsock Control (MSWinSck.ocx)"},
      {"MSFLXGRD", 5, "Testing Grid", "Grid Control (MSFlxGrd.ocx)"},
      {"RICHTXT", 6, "Testing Richtext", "Rich Text controls (Richtx32.ocx)"},
      {"SPEECH1", 7, "Testing Sapi40", "Speech API 4.0"},
      {"SPEECH2", 8, "Testing Sapi51", "Speech API 5.x"},
      {"COMDLG32", std::nullopt, "Testing CmnDlg32",
       "Common Dialog Control (CmnDlg32.ocx)"},
      {"TABCTL32", std::nullopt, "Testing TabCTL32",
       "Tabbed Dialog Control (TabCtl32.ocx)"},
  };
  auto table = twi::install::RuntimeComponents();
  ASSERT_EQ(table.size(), std::size(expected));
  for (size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(expected[i].key);
    EXPECT_EQ(table[i].key, expected[i].key);
    EXPECT_EQ(table[i].scanPosition, expected[i].position);
    EXPECT_EQ(table[i].logText, expected[i].log);
    EXPECT_EQ(table[i].createTestWindow()->Description(), expected[i].description);
    EXPECT_EQ(FindRuntimeComponent(expected[i].key), &table[i]);
  }
  EXPECT_EQ(FindRuntimeComponent("msinet"), nullptr);
}

}  // namespace

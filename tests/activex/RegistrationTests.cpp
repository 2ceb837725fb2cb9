// The stand-ins register and unregister through a real regsvr32.exe, and
// creation by ProgID follows their registration.
#include <gtest/gtest.h>

#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "platform/activex/Object.h"
#include "support/StandIns.h"

namespace {

using twi::activex::Object;
using twitest::ClassesRootHas;
using twitest::ClassesRootText;

const std::string kInetClsid = "{0BCED6AB-C229-4AA2-915C-EDDC717C96A3}";
const std::string kSpVoiceServer = "CLSID\\{96749377-3391-11D2-9EE3-00C04F797396}\\InprocServer32";
constexpr char kMissingInet[] =
    "Component 'MSINET.OCX' or one of its dependencies not correctly registered: a file is "
    "missing or invalid";

void ExpectInetMissing() {
  try {
    Object::CreateControl("InetCtlsObjects.Inet", "MSINET.OCX");
    ADD_FAILURE() << "created an unregistered control";
  } catch (const twi::RuntimeError& e) {
    EXPECT_EQ(e.Number(), 339);
    EXPECT_EQ(e.Description(), kMissingInet);
  }
}

TEST(StandInRegistration, RegsvrMakesTheProgIdCreatableAndUnregisteringUndoesIt) {
  ExpectInetMissing();
  std::string path = twitest::StandInPath("msinet.ocx");
  ASSERT_EQ(twitest::RunRegsvr32(path, false), 0u);
  EXPECT_EQ(ClassesRootText("InetCtlsObjects.Inet\\CLSID"), kInetClsid);
  EXPECT_EQ(ClassesRootText("CLSID\\" + kInetClsid + "\\InprocServer32"), path);
  EXPECT_EQ(ClassesRootText("CLSID\\" + kInetClsid + "\\InprocServer32", "ThreadingModel"),
            "Apartment");
  EXPECT_EQ(ClassesRootText("CLSID\\" + kInetClsid + "\\ProgID"), "InetCtlsObjects.Inet");
  EXPECT_FALSE(Object::CreateControl("InetCtlsObjects.Inet", "MSINET.OCX").IsEmpty());

  ASSERT_EQ(twitest::RunRegsvr32(path, true), 0u);
  EXPECT_FALSE(ClassesRootHas("InetCtlsObjects.Inet"));
  EXPECT_FALSE(ClassesRootHas("CLSID\\" + kInetClsid));
  ExpectInetMissing();
}

TEST(StandInRegistration, WorksFromTheSystemFolderAndUnregistersOnlyItself) {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  std::string installed = twi::ToUtf8(system) + "\\msinet.ocx";
  ASSERT_TRUE(CopyFileW(twi::ToWide(twitest::StandInPath("msinet.ocx")).c_str(),
                        twi::ToWide(installed).c_str(), FALSE));
  {
    twitest::Registered fromFixtures("msinet.ocx");
    // Another copy registers over it; unregistering the fixture copy, which is no
    // longer the registered server, must leave the system folder's registration.
    ASSERT_EQ(twitest::RunRegsvr32(installed, false), 0u);
  }
  // (Not created here: this process would keep the system folder's copy loaded.)
  EXPECT_EQ(ClassesRootText("CLSID\\" + kInetClsid + "\\InprocServer32"), installed);
  EXPECT_EQ(ClassesRootText("InetCtlsObjects.Inet\\CLSID"), kInetClsid);
  EXPECT_EQ(twitest::RunRegsvr32(installed, true), 0u);
  ExpectInetMissing();
  EXPECT_TRUE(DeleteFileW(twi::ToWide(installed).c_str()));
}

TEST(StandInRegistration, SpeechFiveStandInGivesWineItsVoiceBack) {
  std::string wineServer = ClassesRootText(kSpVoiceServer);
  std::string wineThreading = ClassesRootText(kSpVoiceServer, "ThreadingModel");
  ASSERT_FALSE(wineServer.empty()) << "Wine registers its own SpVoice";
  std::string path = twitest::StandInPath("twspeech5.dll");
  ASSERT_EQ(twitest::RunRegsvr32(path, false), 0u);
  ASSERT_EQ(twitest::RunRegsvr32(path, false), 0u);  // twice: the saved entry must survive
  EXPECT_EQ(ClassesRootText(kSpVoiceServer), path);
  EXPECT_EQ(ClassesRootText(kSpVoiceServer, "ThreadingModel"), "Apartment");
  ASSERT_EQ(twitest::RunRegsvr32(path, true), 0u);
  EXPECT_EQ(ClassesRootText(kSpVoiceServer), wineServer);
  EXPECT_EQ(ClassesRootText(kSpVoiceServer, "ThreadingModel"), wineThreading);
  EXPECT_EQ(ClassesRootText(kSpVoiceServer, "TWStandIn.PreviousServer"), "");
  // Unregistering again touches nothing that is not its own.
  ASSERT_EQ(twitest::RunRegsvr32(path, true), 0u);
  EXPECT_EQ(ClassesRootText(kSpVoiceServer), wineServer);
}

}  // namespace

// The automation object layer against the stand-in servers: the calls arrive
// with the right form and values, and failures come back as run-time errors.
#include <gtest/gtest.h>

#include "base/RuntimeError.h"
#include "platform/activex/Object.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

namespace {

using twitest::ErrorOf;

using twi::RuntimeError;
using twi::activex::Arg;
using twi::activex::Object;
using twitest::Journal;
using twitest::Registered;
using Lines = std::vector<std::string>;

constexpr CLSID kVoiceText4 = {
    0x2398E32F, 0x5C6E, 0x11D1, {0x8C, 0x65, 0x00, 0x60, 0x08, 0x18, 0x41, 0xDE}};
constexpr IID kVoiceText4Interface = {
    0x2398E32E, 0x5C6E, 0x11D1, {0x8C, 0x65, 0x00, 0x60, 0x08, 0x18, 0x41, 0xDE}};
constexpr CLSID kSpVoice = {
    0x96749377, 0x3391, 0x11D2, {0x9E, 0xE3, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
constexpr IID kISpeechVoice = {
    0x269316D8, 0x57BD, 0x11D2, {0x9E, 0xEE, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
constexpr CLSID kInetStandIn = {
    0x0BCED6AB, 0xC229, 0x4AA2, {0x91, 0x5C, 0xED, 0xDC, 0x71, 0x7C, 0x96, 0xA3}};


TEST(ActiveXObject, PropertyPutsArriveWithTheirTypeAndValue) {
  Registered inet("msinet.ocx"), comCt2("MsComCt2.ocx"), grid("MsFlxGrd.ocx");
  Journal journal;
  Object inetControl = Object::CreateControl("InetCtlsObjects.Inet", "MSINET.OCX");
  inetControl.PutProperty(9, Arg::Text("host.example ÄÖ"));
  Object::CreateControl("MSComCtl2.FlatScrollBar", "MSCOMCT2.OCX")
      .PutProperty(static_cast<DISPID>(0x8001000D), Arg::Bool(true));
  Object gridControl = Object::CreateControl("MSFlexGridLib.MSFlexGrid", "MSFLXGRD.OCX");
  gridControl.PutProperty(7, Arg::Long(-70000));
  gridControl.PutProperty(7, Arg::Long(0));
  EXPECT_EQ(journal.Lines(), (Lines{"InetCtlsObjects.Inet put 9 \"host.example ÄÖ\"",
                                     "MSComCtl2.FlatScrollBar put -2147418099 true",
                                     "MSFlexGridLib.MSFlexGrid put 7 -70000",
                                     "MSFlexGridLib.MSFlexGrid put 7 0"}));

  // The stand-ins check the form of each call: the layer's mistakes would show here.
  EXPECT_EQ(ErrorOf([&] { inetControl.PutProperty(9, Arg::Long(1)); }).Number(), 13);
  EXPECT_EQ(ErrorOf([&] { inetControl.PutProperty(10, Arg::Text("x")); }).Number(), 438);
  EXPECT_EQ(ErrorOf([&] { inetControl.CallMethod(9); }).Number(), 438);
  EXPECT_EQ(journal.Lines().size(), 4u);
}

TEST(ActiveXObject, MethodsCollectionsAndNames) {
  Registered winsock("MSWinSck.ocx"), comCtl("MsComCtl.ocx");
  Journal journal;
  Object socket = Object::CreateControl("MSWinsockLib.Winsock", "MSWINSCK.OCX");
  socket.CallMethod(70);
  EXPECT_EQ(ErrorOf([&] { socket.CallMethod(70, {Arg::Long(1)}); }).Number(), 450);

  Object listView = Object::CreateControl("MSComctlLib.ListView", "MSCOMCTL.OCX");
  Object items = listView.GetObjectProperty(listView.IdOfName("listitems"));
  items.CallMethod("Add", {Arg::Missing(), Arg::Missing(), Arg::Text("Test")});
  items.CallMethod("Add", {Arg::Long(1), Arg::Text("k"), Arg::Text("Second"), Arg::Missing()});
  EXPECT_EQ(ErrorOf([&] { items.CallMethod("Remove", {Arg::Long(1)}); }).Number(), 438);
  EXPECT_EQ(ErrorOf([&] { items.CallMethod("Add", {Arg::Text("only index")}); }).Number(), 450);

  EXPECT_EQ(journal.Lines(),
            (Lines{"MSWinsockLib.Winsock call 70", "MSComctlLib.ListView get ListItems",
                   "MSComctlLib.ListView.ListItems call Add missing missing \"Test\"",
                   "MSComctlLib.ListView.ListItems call Add 1 \"k\" \"Second\" missing"}));
}

TEST(ActiveXObject, ExceptionsOfTheObjectBecomeItsOwnError) {
  Registered inet("msinet.ocx");
  Object control = Object::CreateControl("InetCtlsObjects.Inet", "MSINET.OCX");
  twitest::Fault fault("InetCtlsObjects.Inet");
  RuntimeError e = ErrorOf([&] { control.PutProperty(9, Arg::Text("x")); });
  EXPECT_EQ(e.Number(), 32001);
  EXPECT_EQ(e.Description(), "Stand-in fault in InetCtlsObjects.Inet");
}

TEST(ActiveXObject, VtableSlotsCountFromTheEndOfIDispatch) {
  Registered speech4("twspeech4.dll");
  Journal journal;
  Object voice = Object::CreateByClsid(kVoiceText4, kVoiceText4Interface);
  voice.CallSlotWithText(twi::activex::kFirstSlotAfterIDispatch + 2, "Hello there");
  // The first method after IDispatch's refuses, with the HRESULT as the number.
  RuntimeError e = ErrorOf(
      [&] { voice.CallSlotWithText(twi::activex::kFirstSlotAfterIDispatch, "ignored"); });
  EXPECT_EQ(e.Number(), static_cast<long>(E_NOTIMPL));
  EXPECT_EQ(journal.Lines(), (Lines{"TWStandIn.VoiceText4 speak \"Hello there\"",
                                     "TWStandIn.VoiceText4 first method"}));
}

TEST(ActiveXObject, CreationByClassIdFailsWith429) {
  {
    Registered speech4("twspeech4.dll"), inet("msinet.ocx");
    // The class exists but refuses the interface.
    EXPECT_EQ(ErrorOf([] { Object::CreateByClsid(kInetStandIn, kVoiceText4Interface); }).Number(),
              429);
    Journal journal;
    Object::CreateByClsid(kInetStandIn, IID_IDispatch).PutProperty(9, Arg::Text("by class id"));
    EXPECT_EQ(journal.Lines(), (Lines{"InetCtlsObjects.Inet put 9 \"by class id\""}));
  }
  RuntimeError e = ErrorOf([] { Object::CreateByClsid(kVoiceText4, kVoiceText4Interface); });
  EXPECT_EQ(e.Number(), 429);
  EXPECT_EQ(e.Description(), "ActiveX component can't create object");
}

TEST(ActiveXObject, ReleasedObjectRaises91) {
  Registered inet("msinet.ocx");
  Object control = Object::CreateControl("InetCtlsObjects.Inet", "MSINET.OCX");
  control.Release();
  EXPECT_TRUE(control.IsEmpty());
  EXPECT_EQ(ErrorOf([&] { control.PutProperty(9, Arg::Text("x")); }).Number(), 91);
}

}  // namespace

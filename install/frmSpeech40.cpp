#include "install/frmSpeech40.h"

namespace twi::install {
namespace {

// The Speech API 4.0 voice text object and its automation interface, which
// derives from IDispatch; its speech method, the third method after those of
// IDispatch, takes the text as its only argument.
constexpr CLSID kVoiceText = {
    0x2398E32F, 0x5C6E, 0x11D1, {0x8C, 0x65, 0x00, 0x60, 0x08, 0x18, 0x41, 0xDE}};
constexpr IID kVoiceTextInterface = {
    0x2398E32E, 0x5C6E, 0x11D1, {0x8C, 0x65, 0x00, 0x60, 0x08, 0x18, 0x41, 0xDE}};
constexpr unsigned kSpeakSlot = activex::kFirstSlotAfterIDispatch + 2;
static_assert(kSpeakSlot == 9);

}  // namespace

frmSpeech40::frmSpeech40() : TestWindow("frmSpeech40", "", {}) {}

std::string frmSpeech40::Description() const { return "Speech API 4.0"; }

void frmSpeech40::Test() {
  activex::Object voice = activex::Object::CreateByClsid(kVoiceText, kVoiceTextInterface);
  voice.CallSlotWithText(kSpeakSlot, "Tarnwick software speech test");
  voice.Release();
}

}  // namespace twi::install

#include "install/frmSpeech50.h"

namespace twi::install {
namespace {

// The SAPI 5 SpVoice and its automation interface ISpeechVoice; Speak is its
// dispatch id 12 (DISPID_SVSpeak), with the text and the flags (0: speak
// synchronously, return when the phrase has been spoken).
constexpr CLSID kSpVoice = {
    0x96749377, 0x3391, 0x11D2, {0x9E, 0xE3, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
constexpr IID kISpeechVoice = {
    0x269316D8, 0x57BD, 0x11D2, {0x9E, 0xEE, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
constexpr DISPID kSpeak = 12;
constexpr std::int32_t kSpeakSynchronously = 0;

}  // namespace

frmSpeech50::frmSpeech50() : TestWindow("frmSpeech50", "", {}) {}

std::string frmSpeech50::Description() const { return "Speech API 5.x"; }

// Under Wine 8.0 (the Wine of our build machines) a fresh prefix registers
// Wine's own SpVoice (sapi.dll): creating it through ISpeechVoice succeeds, but
// Speak answers E_NOTIMPL at once (through IDispatch and through the vtable
// alike), so this test fails quickly with -2147467263 "Not implemented"; it
// neither speaks nor hangs. A Wine whose voice really speaks would make the
// synchronous call wait until the phrase is spoken.
void frmSpeech50::Test() {
  activex::Object voice = activex::Object::CreateByClsid(kSpVoice, kISpeechVoice);
  voice.CallMethod(kSpeak, {activex::Arg::Text("Tarnwick software speech test"),
                            activex::Arg::Long(kSpeakSynchronously)});
  voice.Release();
}

}  // namespace twi::install

// How the update program reads the install center's caption from its command
// line: after its own path, quoted or not, and the one blank that follows it.
#include <gtest/gtest.h>

#include <vector>

#include "base/TextConv.h"
#include "updater/CommandLine.h"

namespace {

TEST(UpdaterCommandLine, TheCaptionFollowsTheProgramPathQuotedOrNot) {
  struct Case {
    const wchar_t* line;
    const char* caption;
  };
  const wchar_t* program = L"C:\\Tarn wick\\Updater.exe";
  const std::vector<Case> cases = {
      {L"\"C:\\Tarn wick\\Updater.exe\" Tarnwick Software Install Center",
       "Tarnwick Software Install Center"},
      {L"C:\\Tarn wick\\Updater.exe Tarnwick Software Install Center",
       "Tarnwick Software Install Center"},
      {L"c:\\TARN WICK\\updater.exe Tarnwick Software Install Center",
       "Tarnwick Software Install Center"},
      {L"C:\\Tarn wick\\Updater Tarnwick Software Install Center",
       "Tarnwick Software Install Center"},
      {L"Updater.exe Tarnwick Software Install Center", "Tarnwick Software Install Center"},
      {L"\"C:\\Tarn wick\\Updater.exe\"", ""},
      {L"C:\\Tarn wick\\Updater.exe", ""},
      {L"\"C:\\Tarn wick\\Updater.exe\"Tarnwick", "Tarnwick"},
      {L"\"C:\\Tarn wick\\Updater.exe\"  two blanks", " two blanks"},
      {L"\"C:\\Tarn wick\\Updater.exe\" Größe – 1", "Größe – 1"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(twi::updater::CaptionFromCommandLine(c.line, program), c.caption)
        << twi::ToUtf8(c.line);
}

}  // namespace

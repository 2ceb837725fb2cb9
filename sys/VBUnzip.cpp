#include "sys/VBUnzip.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/TextConv.h"
#include "base/Trap.h"
#include "platform/unzip32/Unzip32.h"
#include "sys/CGUnzipFiles.h"
#include "sys/UnzipMessages.h"
#include "ui/InputBox.h"
#include "ui/MsgBox.h"

namespace twi {
namespace {

// The bytes of a library buffer up to its first NUL, at most `limit` of them.
std::string BytesUpToNul(const char* buffer, std::size_t limit) {
  if (!buffer) return {};
  const char* end = static_cast<const char*>(std::memchr(buffer, '\0', limit));
  return std::string(buffer, end ? static_cast<std::size_t>(end - buffer) : limit);
}

// A callback never lets an error into the library: the first one is kept and
// raised once the library has returned; the callback answers `fallback`.
template <class F>
auto Guarded(auto fallback, F&& step) -> decltype(fallback) {
  decltype(fallback) answer = fallback;
  std::optional<RuntimeError> error = Trapping([&] { answer = step(); });
  if (error) {
    UnzipMessages& messages = TheUnzipMessages();
    if (!messages.CallbackError) messages.CallbackError = error;
    return fallback;
  }
  return answer;
}

}  // namespace

int WINAPI UnzipPrintCallback(LPSTR text, unsigned long size) {
  return Guarded(0, [&] {
    std::string piece = BytesUpToNul(text, size);
    // Line ends become CR LF for the message boxes that show this text. A piece
    // that starts with a line feed keeps the rest of its text: the library
    // begins some of its error texts that way.
    if (!piece.empty() && piece[0] == '\n') piece = "\r\n" + piece.substr(1);
    TheUnzipMessages().Append(AnsiToUtf8(piece));
    return 0;
  });
}

int WINAPI UnzipReplaceCallback(LPSTR fileName) {
  return Guarded(static_cast<int>(kReplaceNone), [&] {
    std::string name = AnsiToUtf8(BytesUpToNul(fileName, 256));
    int answer = ui::MsgBox("Overwrite " + name + "?", ui::vbYesNoCancel | ui::vbExclamation,
                            kOverwriteTitle);
    if (answer == ui::vbYes) return static_cast<int>(kReplaceYes);
    if (answer == ui::vbNo) return static_cast<int>(kReplaceNo);
    return static_cast<int>(kReplaceNone);
  });
}

int WINAPI UnzipPasswordCallback(LPSTR password, int size, LPCSTR /*prompt*/,
                                 LPCSTR /*entryName*/) {
  return Guarded(1, [&] {
    UnzipMessages& messages = TheUnzipMessages();
    if (messages.PasswordSkipped) return 1;
    std::string answer = ui::InputBox(kPasswordPrompt);
    if (answer.empty()) {
      messages.PasswordSkipped = true;
      return 1;
    }
    if (!password || size < 1) return 1;
    std::memset(password, 0, static_cast<std::size_t>(size));
    // Single bytes and a NUL, never past the library's buffer.
    std::string bytes = Utf8ToAnsi(answer);
    std::size_t count = std::min(bytes.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(password, bytes.data(), count);
    return 0;
  });
}

void WINAPI UnzipMessageCallback(unsigned long, unsigned long, unsigned, unsigned, unsigned,
                                 unsigned, unsigned, unsigned, char, LPSTR, LPSTR, unsigned long,
                                 char) {
  // Listing lines only; the install center never lists an archive.
}

int WINAPI UnzipServiceCallback(LPCSTR /*entryName*/, unsigned long /*size*/) { return 0; }

long VBUnzip(const CGUnzipFiles& options) {
  UnzipMessages& messages = TheUnzipMessages();
  long result = 0;
  std::optional<RuntimeError> error = Trapping([&] {
    messages.Reset();
    std::string zipName = Utf8ToAnsi(options.ZipFileName());
    std::string extractDir = Utf8ToAnsi(options.ExtractDir());
    std::vector<char> zipText(zipName.begin(), zipName.end()), dirText(extractDir.begin(),
                                                                       extractDir.end());
    zipText.push_back('\0');
    dirText.push_back('\0');
    UnzipOptions record{};
    record.ExtractOnlyNewer = static_cast<int32_t>(options.ExtractOnlyNewer());
    record.SpaceToUnderScore = static_cast<int32_t>(options.SpaceToUnderScore());
    record.PromptOverwrite = static_cast<int32_t>(options.PromptOverwrite());
    record.MessageLevel = static_cast<int32_t>(options.MessageLevel());
    record.WriteToStdOut = static_cast<int32_t>(options.WriteToStdOut());
    record.TestZip = static_cast<int32_t>(options.TestZip());
    record.ExtractList = static_cast<int32_t>(options.ExtractList());
    record.ExtractNewer = static_cast<int32_t>(options.ExtractNewer());
    record.DisplayComment = static_cast<int32_t>(options.DisplayComment());
    record.HonorDirectories = static_cast<int32_t>(options.HonorDirectories());
    record.OverWriteFiles = static_cast<int32_t>(options.OverWriteFiles());
    record.ConvertCRtoCRLF = static_cast<int32_t>(options.ConvertCRtoCRLF());
    record.Verbose = static_cast<int32_t>(options.Verbose());
    record.CaseSensitive = static_cast<int32_t>(options.CaseSensitive());
    record.Privilege = static_cast<int32_t>(options.Privilege());
    record.ZipFileName = zipText.data();
    record.ExtractDir = dirText.data();
    UnzipCallbacks callbacks{};
    callbacks.Print = &UnzipPrintCallback;
    callbacks.Sound = nullptr;
    callbacks.Replace = &UnzipReplaceCallback;
    callbacks.Password = &UnzipPasswordCallback;
    callbacks.Message = &UnzipMessageCallback;
    callbacks.Service = &UnzipServiceCallback;
    // Include and exclude lists: 100 empty slots each, count 0 (the whole archive).
    std::vector<char*> includeList(100, nullptr), excludeList(100, nullptr);
    result = Wiz_SingleEntryUnzip(0, includeList.data(), 0, excludeList.data(), &record,
                                  &callbacks);
    if (messages.CallbackError) throw *messages.CallbackError;
  });
  if (error) throw error->WithSource("CodeModule::VBUnzip");  // raised again to the caller
  return result;
}

}  // namespace twi

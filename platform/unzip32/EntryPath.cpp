#include "platform/unzip32/EntryPath.h"

#include <windows.h>

namespace unzip32 {
namespace {

constexpr UINT kCodePage437 = 437;

std::wstring Decode(const std::string& bytes, UINT codePage) {
  if (bytes.empty()) return {};
  int length = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                   nullptr, 0);
  if (length <= 0) {
    // A code page this system lacks: fall back to ANSI, and to Latin-1 below that.
    if (codePage != CP_ACP) return Decode(bytes, CP_ACP);
    std::wstring latin;
    for (char c : bytes) latin += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return latin;
  }
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                      length);
  return text;
}

// Host systems whose zip tools store names in the OEM (DOS) character set.
bool MadeOnDosLikeSystem(uint32_t versionMadeBy) {
  switch (versionMadeBy >> 8) {
    case 0:   // MS-DOS / FAT
    case 6:   // OS/2 HPFS
    case 11:  // Windows NTFS
    case 14:  // VFAT
      return true;
    default:
      return false;
  }
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Characters a Windows file name cannot hold become "_".
std::wstring SafeComponent(std::wstring component, bool spaceToUnderscore) {
  for (wchar_t& c : component) {
    if (c < 0x20 || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' ||
        c == L'>' || c == L'|' || (spaceToUnderscore && c == L' ')) {
      c = L'_';
    }
  }
  return component;
}

}  // namespace

std::wstring DecodeEntryName(const EntryInfo& info) {
  if (info.Utf8Name()) return Decode(info.rawName, CP_UTF8);
  return Decode(info.rawName, MadeOnDosLikeSystem(info.versionMadeBy) ? kCodePage437 : CP_ACP);
}

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                   nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) {
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
  }
  return bytes;
}

std::wstring FromAnsi(const std::string& text) { return Decode(text, CP_ACP); }

std::wstring EntryPath::Display() const {
  std::wstring text;
  for (const auto& folder : folders) text += folder + L"/";
  return text + fileName;
}

EntryPath MakeEntryPath(const std::wstring& storedName, const NamingOptions& options) {
  EntryPath path;
  std::wstring name = storedName;
  for (wchar_t& c : name) {
    if (c == L'\\') c = L'/';
  }
  // A drive ("C:") or any leading slashes make the name absolute.
  std::size_t start = 0;
  if (name.size() >= 2 && IsDriveLetter(name[0]) && name[1] == L':') {
    start = 2;
    path.strippedAbsolute = true;
  }
  while (start < name.size() && name[start] == L'/') {
    ++start;
    path.strippedAbsolute = true;
  }
  const bool isFolder = !name.empty() && name.back() == L'/';
  std::vector<std::wstring> components;
  std::size_t pos = start;
  while (pos <= name.size()) {
    std::size_t end = name.find(L'/', pos);
    if (end == std::wstring::npos) end = name.size();
    std::wstring component = name.substr(pos, end - pos);
    if (component == L"..") {
      path.skippedParent = true;
    } else if (!component.empty() && component != L".") {
      components.push_back(SafeComponent(component, options.spaceToUnderscore));
    }
    pos = end + 1;
  }
  if (!isFolder && !components.empty()) {
    path.fileName = components.back();
    components.pop_back();
  }
  if (options.honorDirectories) path.folders = std::move(components);
  return path;
}

}  // namespace unzip32

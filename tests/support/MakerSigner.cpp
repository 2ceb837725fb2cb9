#include "support/MakerSigner.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include <sodium.h>

#include "base/TextConv.h"
#include "platform/crypto/Sha256.h"
#include "support/TestSupport.h"

namespace twitest {
namespace {

// The 32-byte seed of a PEM PKCS#8 Ed25519 private key: the last bytes of its DER.
std::array<unsigned char, 32> SeedOfPem(const std::string& pem) {
  std::string base64;
  size_t start = 0;
  while (start < pem.size()) {
    size_t end = pem.find('\n', start);
    if (end == std::string::npos) end = pem.size();
    std::string line = twi::Trim(twi::ReplaceAll(pem.substr(start, end - start), "\r", ""));
    if (!line.empty() && line.rfind("-----", 0) != 0) base64 += line;
    start = end + 1;
  }
  std::vector<unsigned char> der(base64.size());
  size_t length = 0;
  if (sodium_base642bin(der.data(), der.size(), base64.data(), base64.size(), nullptr, &length,
                        nullptr, sodium_base64_VARIANT_ORIGINAL) != 0 ||
      length < 32)
    throw std::runtime_error("the test key is not a PEM Ed25519 key");
  std::array<unsigned char, 32> seed{};
  std::copy(der.begin() + static_cast<long>(length - 32), der.begin() + static_cast<long>(length),
            seed.begin());
  return seed;
}

void ListFiles(const std::string& folder, const std::string& prefix,
               std::vector<std::string>& names) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(twi::ToWide(folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = twi::ToUtf8(found.cFileName);
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ListFiles(folder + "\\" + name, prefix + name + "/", names);
    else if (name != "SHA256SUMS" && name.find(".sig") == std::string::npos)
      names.push_back(prefix + name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

MakerSigner::MakerSigner(const std::array<unsigned char, 32>& seed) {
  if (sodium_init() < 0) throw std::runtime_error("libsodium did not start");
  std::array<unsigned char, 32> publicKey{};
  crypto_sign_seed_keypair(publicKey.data(), secret_.data(), seed.data());
}

MakerSigner MakerSigner::TestKey() {
  return MakerSigner(SeedOfPem(ReadFileBytes(BinDir() + "\\..\\keys\\test.key")));
}

MakerSigner MakerSigner::UntrustedKey() {
  std::array<unsigned char, 32> seed{};
  for (size_t i = 0; i < seed.size(); ++i) seed[i] = static_cast<unsigned char>(7 * i + 1);
  return MakerSigner(seed);
}

std::string MakerSigner::Sign(const std::string& bytes) const {
  std::array<unsigned char, 64> signature{};
  crypto_sign_detached(signature.data(), nullptr,
                       reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                       secret_.data());
  return std::string(signature.begin(), signature.end());
}

void MakerSigner::SignFile(const std::string& path) const {
  WriteFileBytes(path + ".sig", Sign(ReadFileBytes(path)));
}

void MakerSigner::SignRuntimes(const std::string& server) const {
  std::vector<std::string> names;
  ListFiles(server + "\\runtimes", "", names);
  std::sort(names.begin(), names.end());
  std::string list;
  for (const std::string& name : names)
    list += Sha256HexOf(server + "\\runtimes\\" + twi::ReplaceAll(name, "/", "\\")) + "  " +
            name + "\n";
  WriteFileBytes(server + "\\runtimes\\SHA256SUMS", list);
  SignFile(server + "\\runtimes\\SHA256SUMS");
}

void MakerSigner::WriteVersionFile(const std::string& path, const std::string& version,
                                   const std::string& address, const std::string& package) const {
  std::string text = version + "\r\n" + address + "\r\n";
  if (!package.empty()) text += "sha256 " + Sha256HexOf(package) + "\r\n";
  WriteFileBytes(path, text);
  SignFile(path);
}

std::string Sha256HexOf(const std::string& path) {
  std::optional<twi::crypto::Sha256Digest> digest = twi::crypto::Sha256OfFile(path);
  return digest ? twi::crypto::HexOf(*digest) : std::string();
}

}  // namespace twitest

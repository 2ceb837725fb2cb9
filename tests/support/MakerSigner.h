#pragma once
// Signs as the maker does (an Ed25519 detached signature, 64 raw bytes in `<file>.sig`):
// with the build's test key, which the test build trusts, or with a key of its own that
// no build trusts. Lays out a served server's signed files: its runtimes/SHA256SUMS as
// `sha256sum` writes it, and a version file with its package's sha256 line.
#include <array>
#include <string>

namespace twitest {

class MakerSigner {
 public:
  // The private half the build made (build/keys/test.key).
  static MakerSigner TestKey();
  // A key made now: its signatures verify with no key a build trusts.
  static MakerSigner UntrustedKey();

  std::string Sign(const std::string& bytes) const;
  // Writes path + ".sig" for the file's bytes as they are now.
  void SignFile(const std::string& path) const;
  // Writes `server`\runtimes\SHA256SUMS over every file below runtimes\ (names with
  // "/", sorted) and signs it. `server` is a folder under the fixture HTTP server.
  void SignRuntimes(const std::string& server) const;
  // Writes a version file (version, address, then "sha256 <hex>" of `package` unless
  // it is "") and signs it.
  void WriteVersionFile(const std::string& path, const std::string& version,
                        const std::string& address, const std::string& package) const;

 private:
  explicit MakerSigner(const std::array<unsigned char, 32>& seed);
  std::array<unsigned char, 64> secret_{};
};

// The SHA-256 of a file as 64 lower-case hex digits.
std::string Sha256HexOf(const std::string& path);

}  // namespace twitest

#pragma once
// Addresses and folders of the test servers that tests/tools/with-servers
// starts on 127.0.0.1, and the fixture server's byte pattern.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace twitest {

// "http://127.0.0.1:<port><path>" on the fixture HTTP server.
inline std::string HttpUrl(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(ServerPort("HTTP")) + path;
}

// "127.0.0.1:<port>" of the FTP server, and the control's form "FTP://127.0.0.1:<port>".
inline std::string FtpHostAndPort() {
  return "127.0.0.1:" + std::to_string(ServerPort("FTP"));
}
inline std::string FtpAddress() { return "FTP://" + FtpHostAndPort(); }

// Windows path of a file in the servers' folder (they run on the Unix side).
inline std::string ServerFile(const std::string& relative) {
  std::string path = WindowsPathOf(EnvVar("TWI_SERVER_DIR")) + "\\" + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}
// The folder the HTTP server serves under /files/, and the FTP server's root.
inline std::string HttpRoot() { return ServerFile("http-root"); }
inline std::string FtpRoot() { return ServerFile("ftp-root"); }

// On one of the fixture server's TLS ports (`portFile`: "https-trusted.port" or
// "https-untrusted.port").
inline std::string HttpsUrl(const std::string& portFile, const std::string& path) {
  std::string port = ReadFileBytes(ServerFile(portFile));
  while (!port.empty() && (port.back() == '\n' || port.back() == '\r')) port.pop_back();
  return "https://127.0.0.1:" + port + path;
}

// What the file-system fault set-up (tests/server/start-fsfaults) could prepare on
// this machine for `name` ("tmpfs", "small", "immutable"): "yes", or "no <why>".
inline std::string FileSystemFault(const std::string& name) {
  std::string ready = ReadFileBytes(ServerFile("fsfaults.ready"));
  size_t at = ready.find(name + "=");
  if (at == std::string::npos) return "no fault set-up";
  size_t from = at + name.size() + 1;
  size_t end = ready.find('\n', from);
  return ready.substr(from, end == std::string::npos ? end : end - from);
}

// The fixture server's byte bodies: byte i is i % 251.
inline std::string PatternBytes(std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i % 251);
  return bytes;
}
inline std::vector<std::uint8_t> Pattern(std::size_t count) {
  std::string bytes = PatternBytes(count);
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace twitest

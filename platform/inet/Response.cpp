#include "platform/inet/Response.h"

#include <sstream>

#include "base/TextConv.h"

namespace twi::inet {

void Response::SetHeaders(long code, std::string rawHeaders) {
  std::lock_guard lock(mutex_);
  code_ = code;
  rawHeaders_ = std::move(rawHeaders);
}

void Response::SetCode(long code) {
  std::lock_guard lock(mutex_);
  code_ = code;
}

void Response::SetInfo(std::string info) {
  std::lock_guard lock(mutex_);
  info_ = std::move(info);
}

long Response::Code() const {
  std::lock_guard lock(mutex_);
  return code_;
}

std::string Response::Info() const {
  std::lock_guard lock(mutex_);
  return info_;
}

std::string Response::Header(const std::string& name) const {
  std::lock_guard lock(mutex_);
  if (name.empty()) return rawHeaders_;
  const std::string wanted = UpperAscii(name);
  std::istringstream lines(rawHeaders_);
  std::string line;
  while (std::getline(lines, line)) {
    auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    if (UpperAscii(Trim(line.substr(0, colon))) != wanted) continue;
    std::string value = line.substr(colon + 1);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\t')) value.pop_back();
    return Trim(value);
  }
  return "";
}

}  // namespace twi::inet

#pragma once
// What the caller may ask about the current request: the status code, the response
// headers and a text describing the outcome. Written by the transfer thread, read by the
// GUI thread, hence guarded.
#include <string>

#include "platform/inet/CriticalSection.h"

namespace twi::inet {

class Response {
 public:
  // `rawHeaders`: the header block as received, lines separated by CR LF, the status
  // line first.
  void SetHeaders(long code, std::string rawHeaders);
  void SetCode(long code);
  void SetInfo(std::string info);

  long Code() const;
  std::string Info() const;
  // The value of the first header called `name` (any letter case), trimmed; "" when
  // absent. An empty name gives the whole header block.
  std::string Header(const std::string& name) const;

 private:
  mutable CriticalSection mutex_;
  long code_ = 0;
  std::string rawHeaders_;
  std::string info_;
};

}  // namespace twi::inet

#pragma once
// The error display: an error the user must act on (in the install center, a
// fault of the settings file) is shown in a fresh error report window, modally.
// One shared service object.
#include <functional>
#include <string>

namespace twi {

class cSHAREDShowError {
 public:
  // Shows the report window for `errorMessage` and returns when the user has
  // closed it; the window is then unloaded. In a run that no person watches
  // (Unattended set) the message goes to Unattended instead.
  void ShowErr(const std::string& errorMessage, const std::string& helpPage = "");

  std::function<void(const std::string& errorMessage)> Unattended;
};

cSHAREDShowError& TheShowError();

}  // namespace twi

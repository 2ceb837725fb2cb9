#pragma once
// A text-input box: a prompt, one line of text, OK and Cancel, the application's
// title unless another is given. It blocks until closed and answers the typed
// text, or "" when the user cancels or closes it. Tests install an answerer that
// sees each box and types the answer without a person.
#include <functional>
#include <string>

namespace ui {

struct InputBoxCall {
  std::string prompt;
  std::string title;
  std::string defaultText;
};

using InputBoxAnswerer = std::function<std::string(const InputBoxCall&)>;

// Shows the box modally; title "" means the application's title.
std::string InputBox(const std::string& prompt, const std::string& title = "",
                     const std::string& defaultText = "");
// Installs (or, with nullptr, removes) the answerer used instead of a real box.
void SetInputBoxAnswerer(InputBoxAnswerer answerer);

}  // namespace ui

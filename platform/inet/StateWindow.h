#pragma once
// A message-only window owned by the thread that creates it (the GUI thread). Transfer
// threads post (request id, state) pairs to it from anywhere; they reach the receiver
// on the GUI thread, and only while that thread pumps messages.
#include <windows.h>

#include <cstdint>
#include <functional>

namespace twi::inet {

class StateWindow {
 public:
  using Receiver = std::function<void(std::uint32_t requestId, int state)>;

  // Throws twi::RuntimeError when the window cannot be created.
  explicit StateWindow(Receiver receiver);
  ~StateWindow();
  StateWindow(const StateWindow&) = delete;
  StateWindow& operator=(const StateWindow&) = delete;

  // Any thread. False when the message could not be posted.
  bool Post(std::uint32_t requestId, int state) const;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  Receiver receiver_;
  HWND hwnd_ = nullptr;
};

}  // namespace twi::inet

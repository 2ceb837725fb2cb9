#pragma once
// The states of one request, posted to the control's window in ascending order and
// never twice. States 1 to 8 are the steps of reaching a response: reaching one posts
// the steps below it that were not posted yet, so a request that gets a response always
// shows 1..8, also when WinInet skips steps (a kept-alive connection is neither resolved
// nor connected again). The other states are posted alone, and only onwards in the
// order 1..8, 12, 9, 10, 11: "response completed" (the body can be read) comes before
// the connection is closed.
// Any thread may use a ladder; after Close nothing more is posted.
#include <windows.h>

#include <cstdint>
#include "platform/inet/CriticalSection.h"
#include "platform/inet/InetStates.h"

namespace twi::inet {

class StateWindow;

class StateLadder {
 public:
  StateLadder(const StateWindow& window, std::uint32_t requestId);

  void Reach(int state);
  // Counts the states up to `state` as passed without posting them: an operation on an
  // FTP session that is connected already starts after "connected".
  void StartAfter(int state);
  // Maps a WinInet status notification to its state and reaches it, if that state is
  // not above `highest` (later steps are reached by the caller when they really are).
  void ReachFromWinInet(DWORD status, int highest);
  // Stops all posting: the request was cancelled or superseded.
  void Close();
  std::uint32_t RequestId() const { return requestId_; }

 private:
  void PostLocked(int state);

  const StateWindow* window_;
  const std::uint32_t requestId_;
  CriticalSection mutex_;
  int reached_ = 0;
  bool closed_ = false;
};

}  // namespace twi::inet

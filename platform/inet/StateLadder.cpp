#include "platform/inet/StateLadder.h"

#include <wininet.h>

#include "platform/inet/StateWindow.h"

namespace twi::inet {
namespace {

int StateOfStatus(DWORD status) {
  switch (status) {
    case INTERNET_STATUS_RESOLVING_NAME: return state::ResolvingHost;
    case INTERNET_STATUS_NAME_RESOLVED: return state::HostResolved;
    case INTERNET_STATUS_CONNECTING_TO_SERVER: return state::Connecting;
    case INTERNET_STATUS_CONNECTED_TO_SERVER: return state::Connected;
    case INTERNET_STATUS_SENDING_REQUEST: return state::Requesting;
    case INTERNET_STATUS_REQUEST_SENT: return state::RequestSent;
    case INTERNET_STATUS_RECEIVING_RESPONSE: return state::ReceivingResponse;
    case INTERNET_STATUS_RESPONSE_RECEIVED: return state::ResponseReceived;
    default: return 0;
  }
}

// Position of a state in the order in which a request may pass them.
int Rank(int state) {
  return state == state::ResponseCompleted ? 2 * state::ResponseReceived + 1 : 2 * state;
}

}  // namespace

StateLadder::StateLadder(const StateWindow& window, std::uint32_t requestId)
    : window_(&window), requestId_(requestId) {}

void StateLadder::Reach(int state) {
  std::lock_guard lock(mutex_);
  if (closed_ || Rank(state) <= Rank(reached_)) return;
  if (state <= state::ResponseReceived) {
    for (int step = reached_ + 1; step <= state; ++step) PostLocked(step);
  } else {
    PostLocked(state);
  }
}

void StateLadder::StartAfter(int state) {
  std::lock_guard lock(mutex_);
  if (Rank(state) > Rank(reached_)) reached_ = state;
}

void StateLadder::ReachFromWinInet(DWORD status, int highest) {
  int state = StateOfStatus(status);
  if (state != 0 && state <= highest) Reach(state);
}

void StateLadder::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
}

void StateLadder::PostLocked(int state) {
  reached_ = state;
  window_->Post(requestId_, state);
}

}  // namespace twi::inet

#pragma once
// The body of one response on its way from the transfer thread to the GUI thread: a
// short queue of blocks as WinInet delivered them. The transfer thread waits while the
// queue is full, so memory never grows with the size of the body; the GUI thread takes
// chunks of any size out of it without ever blocking, and waits on Signal() (together
// with its message queue) when nothing is there yet.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/inet/KernelEvent.h"

namespace twi::inet {

class BodyQueue {
 public:
  explicit BodyQueue(std::size_t maxBlocks);

  // Transfer thread.
  // Adds a block, waiting for room first. False when the queue was cancelled.
  bool Push(std::vector<std::uint8_t> block);
  void Finish();                    // the body ended normally
  void Fail(std::string reason);    // the body broke off
  // Waits until the consumer has taken the end of the body, or the queue was cancelled.
  void WaitUntilTakenToEnd();

  // GUI thread.
  enum class Take { Data, NothingYet, End, Failed, Cancelled };
  // Appends to `chunk` until it holds `maxBytes`, across blocks. Never blocks.
  // Data: the chunk is full, or it is the last part of the body.
  // NothingYet: more is to come; `chunk` keeps what it got so far (call again).
  // End / Failed: the body ended / broke off, and `chunk` is empty.
  Take TakeChunk(std::size_t maxBytes, std::vector<std::uint8_t>& chunk);
  std::string FailureReason() const;
  // True once TakeChunk has reported the end (or the failure) of the body.
  bool EndTaken() const;
  // Signalled whenever the queue changes; call ClearSignal() before TakeChunk when about
  // to wait, so that a change after the take is not missed.
  HANDLE Signal() const { return changed_.Get(); }
  void ClearSignal() const { changed_.Clear(); }

  // Any thread: drops the body and wakes both sides.
  void Cancel();

 private:
  void TakeFromFrontLocked(std::size_t maxBytes, std::vector<std::uint8_t>& chunk);

  const std::size_t maxBlocks_;
  KernelEvent changed_{KernelEvent::Reset::Manual};
  mutable std::mutex mutex_;
  std::condition_variable room_;
  std::condition_variable takenToEnd_;
  std::deque<std::vector<std::uint8_t>> blocks_;
  std::size_t frontOffset_ = 0;  // bytes of the front block already handed out
  bool finished_ = false;
  bool failed_ = false;
  bool cancelled_ = false;
  bool endTaken_ = false;
  std::string failure_;
};

}  // namespace twi::inet

#pragma once
// The body of one response on its way from the transfer thread to the GUI thread: a
// short queue of blocks as they were read. The transfer thread waits while the queue is
// full, so memory never grows with the size of the body; the GUI thread takes chunks of
// any size out of it without ever blocking, and waits on Signal() (together with its
// message queue) when nothing is there yet.
//
// Blocks are recycled: the transfer thread reads into a block taken from the queue's
// spares (or a new one), the GUI thread gives each block back once it has copied it out,
// so a body of any size costs a handful of allocations.
//
// Handing over costs: under Wine every signal, wait and reset is a call to the Wine
// server, and every wake-up a switch of threads. So the two sides wake each other in
// batches: while the body pours in (full blocks), the GUI thread is woken once a quarter
// of the queue is full, and the transfer thread, when it waited for room, once half of
// it is free again. A block that is not full (the body trickles in), the end and a
// cancel wake the GUI thread at once. Because a transfer thread may be held up inside a
// read with full blocks not yet announced, the GUI thread waits at most kLongestWaitMs
// at a time and then looks.
//
// The waits of the transfer thread (for room, for the end to be taken) are on events
// too: XP has no condition variables. Each is checked under the lock and waited for
// without it, so a signal that comes between the two is kept by its event.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/inet/CriticalSection.h"
#include "platform/inet/KernelEvent.h"

namespace twi::inet {

// A buffer of fixed capacity and the number of bytes in use.
struct BodyBlock {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t capacity = 0;
  std::size_t size = 0;
};

class BodyQueue {
 public:
  static constexpr unsigned long kLongestWaitMs = 50;

  BodyQueue(std::size_t maxBlocks, std::size_t blockSize);

  // Transfer thread.
  // An empty block of the queue's block size (a spare one when there is one).
  BodyBlock EmptyBlock();
  // Adds a block (its `size` bytes), waiting for room first. False when the queue was
  // cancelled. `urgent`: the GUI thread is to have it at once (more may be a while).
  bool Push(BodyBlock block, bool urgent);
  void Finish();                  // the body ended normally
  void Fail(std::string reason);  // the body broke off
  void TimeOut();                 // nothing came for the whole receive time-out
  // Waits until the consumer has taken the end of the body, or the queue was cancelled.
  void WaitUntilTakenToEnd();

  // GUI thread.
  enum class Take { Data, NothingYet, End, Failed, TimedOut, Cancelled };
  // Appends to `chunk` until it holds `maxBytes`, across blocks. Never blocks.
  // Data: the chunk is full, or it is the last part of the body.
  // NothingYet: more is to come; `chunk` keeps what it got so far (call again).
  // End / Failed / TimedOut: the body ended / broke off / stalled, and `chunk` is empty.
  Take TakeChunk(std::size_t maxBytes, std::vector<std::uint8_t>& chunk);
  std::string FailureReason() const;
  // True once TakeChunk has reported the end (or the failure) of the body.
  bool EndTaken() const;
  // Signalled (and reset by the wait that sees it) when the queue changed after
  // PrepareToWait; call PrepareToWait, then TakeChunk once more, then wait at most
  // kLongestWaitMs, so that a change after the take is not missed.
  HANDLE Signal() const { return changed_.Get(); }
  void PrepareToWait();

  // Any thread: drops the body and wakes both sides.
  void Cancel();

 private:
  void WakeConsumer(std::unique_lock<CriticalSection>& lock, bool now);

  const std::size_t maxBlocks_;
  const std::size_t blockSize_;
  KernelEvent changed_{KernelEvent::Reset::Auto};
  mutable CriticalSection mutex_;
  KernelEvent room_{KernelEvent::Reset::Auto};             // the producer may push again
  KernelEvent takenToEnd_{KernelEvent::Reset::Manual};     // end taken, or cancelled
  std::deque<BodyBlock> blocks_;
  std::vector<BodyBlock> spares_;
  // GUI thread only: the block being taken, and how much of it was handed out.
  BodyBlock reading_;
  std::size_t readOffset_ = 0;
  std::atomic<bool> cancelledNow_{false};  // cancelled_, read without the lock
  bool consumerWaiting_ = false;
  bool producerWaiting_ = false;
  enum class End { None, Finished, Failed, TimedOut };
  End end_ = End::None;
  bool cancelled_ = false;
  bool endTaken_ = false;
  std::string failure_;
};

}  // namespace twi::inet

#include "platform/inet/BodyQueue.h"

#include <algorithm>

namespace twi::inet {

BodyQueue::BodyQueue(std::size_t maxBlocks, std::size_t blockSize)
    : maxBlocks_(maxBlocks), blockSize_(blockSize) {}

BodyBlock BodyQueue::EmptyBlock() {
  {
    std::lock_guard lock(mutex_);
    if (!spares_.empty()) {
      BodyBlock block = std::move(spares_.back());
      spares_.pop_back();
      block.size = 0;
      return block;
    }
  }
  return BodyBlock{std::make_unique_for_overwrite<std::uint8_t[]>(blockSize_), blockSize_, 0};
}

bool BodyQueue::Push(BodyBlock block, bool urgent) {
  if (block.size == 0) return true;  // an empty chunk would read as the end of the body
  std::unique_lock lock(mutex_);
  while (!cancelled_ && blocks_.size() >= maxBlocks_) {
    producerWaiting_ = true;
    lock.unlock();
    WaitForSingleObject(room_.Get(), INFINITE);
    lock.lock();
  }
  producerWaiting_ = false;
  if (cancelled_) return false;
  blocks_.push_back(std::move(block));
  WakeConsumer(lock, urgent || blocks_.size() >= std::max<std::size_t>(1, maxBlocks_ / 4));
  return true;
}

void BodyQueue::WakeConsumer(std::unique_lock<CriticalSection>& lock, bool now) {
  bool wake = consumerWaiting_ && now;
  if (wake) consumerWaiting_ = false;
  lock.unlock();
  if (wake) changed_.Set();
}

void BodyQueue::Finish() {
  std::unique_lock lock(mutex_);
  if (end_ == End::None) end_ = End::Finished;
  consumerWaiting_ = true;  // the end always wakes the consumer
  WakeConsumer(lock, true);
}

void BodyQueue::Fail(std::string reason) {
  std::unique_lock lock(mutex_);
  if (end_ == End::None) {
    end_ = End::Failed;
    failure_ = std::move(reason);
  }
  consumerWaiting_ = true;
  WakeConsumer(lock, true);
}

void BodyQueue::TimeOut() {
  std::unique_lock lock(mutex_);
  if (end_ == End::None) end_ = End::TimedOut;
  consumerWaiting_ = true;
  WakeConsumer(lock, true);
}

void BodyQueue::WaitUntilTakenToEnd() {
  WaitForSingleObject(takenToEnd_.Get(), INFINITE);
}

BodyQueue::Take BodyQueue::TakeChunk(std::size_t maxBytes, std::vector<std::uint8_t>& chunk) {
  for (;;) {
    // From the block in hand, without the lock: a body is taken in small chunks, a
    // lock for each would cost more than the copy.
    if (cancelledNow_.load(std::memory_order_relaxed)) return Take::Cancelled;
    if (readOffset_ < reading_.size) {
      std::size_t count = std::min(maxBytes - chunk.size(), reading_.size - readOffset_);
      const std::uint8_t* from = reading_.bytes.get() + readOffset_;
      chunk.insert(chunk.end(), from, from + count);
      readOffset_ += count;
      if (chunk.size() == maxBytes) return Take::Data;
    }
    // The block in hand is used up: give it back and take the next one.
    std::lock_guard lock(mutex_);
    if (cancelled_) return Take::Cancelled;
    if (reading_.bytes && spares_.size() < maxBlocks_) spares_.push_back(std::move(reading_));
    reading_ = BodyBlock{};
    readOffset_ = 0;
    if (!blocks_.empty()) {
      reading_ = std::move(blocks_.front());
      blocks_.pop_front();
      if (producerWaiting_ && blocks_.size() <= maxBlocks_ / 2) {
        producerWaiting_ = false;  // one wake-up per wait: each is a trip to the Wine server
        room_.Set();
      }
      continue;
    }
    if (end_ == End::None) return Take::NothingYet;
    if (!chunk.empty()) return Take::Data;
    endTaken_ = true;
    takenToEnd_.Set();
    switch (end_) {
      case End::Failed: return Take::Failed;
      case End::TimedOut: return Take::TimedOut;
      default: return Take::End;
    }
  }
}

void BodyQueue::PrepareToWait() {
  std::lock_guard lock(mutex_);
  consumerWaiting_ = true;
}

std::string BodyQueue::FailureReason() const {
  std::lock_guard lock(mutex_);
  return failure_;
}

bool BodyQueue::EndTaken() const {
  std::lock_guard lock(mutex_);
  return endTaken_;
}

void BodyQueue::Cancel() {
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    cancelledNow_ = true;
    blocks_.clear();
  }
  room_.Set();
  takenToEnd_.Set();
  changed_.Set();
}

}  // namespace twi::inet

#include "platform/inet/BodyQueue.h"

#include <algorithm>

namespace twi::inet {

BodyQueue::BodyQueue(std::size_t maxBlocks) : maxBlocks_(maxBlocks) {}

bool BodyQueue::Push(std::vector<std::uint8_t> block) {
  if (block.empty()) return true;  // an empty chunk would read as the end of the body
  {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [this] { return cancelled_ || blocks_.size() < maxBlocks_; });
    if (cancelled_) return false;
    blocks_.push_back(std::move(block));
  }
  changed_.Set();
  return true;
}

void BodyQueue::Finish() {
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  changed_.Set();
}

void BodyQueue::Fail(std::string reason) {
  {
    std::lock_guard lock(mutex_);
    failed_ = true;
    failure_ = std::move(reason);
  }
  changed_.Set();
}

void BodyQueue::WaitUntilTakenToEnd() {
  std::unique_lock lock(mutex_);
  takenToEnd_.wait(lock, [this] { return cancelled_ || endTaken_; });
}

BodyQueue::Take BodyQueue::TakeChunk(std::size_t maxBytes, std::vector<std::uint8_t>& chunk) {
  std::lock_guard lock(mutex_);
  if (cancelled_) return Take::Cancelled;
  while (chunk.size() < maxBytes && !blocks_.empty()) TakeFromFrontLocked(maxBytes, chunk);
  if (chunk.size() == maxBytes) return Take::Data;
  if (!finished_ && !failed_) return Take::NothingYet;
  if (!chunk.empty()) return Take::Data;
  endTaken_ = true;
  takenToEnd_.notify_all();
  return failed_ ? Take::Failed : Take::End;
}

void BodyQueue::TakeFromFrontLocked(std::size_t maxBytes, std::vector<std::uint8_t>& chunk) {
  const std::vector<std::uint8_t>& front = blocks_.front();
  std::size_t count = std::min(maxBytes - chunk.size(), front.size() - frontOffset_);
  auto from = front.begin() + static_cast<std::ptrdiff_t>(frontOffset_);
  chunk.insert(chunk.end(), from, from + static_cast<std::ptrdiff_t>(count));
  frontOffset_ += count;
  if (frontOffset_ == front.size()) {
    blocks_.pop_front();
    frontOffset_ = 0;
    room_.notify_one();
  }
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
    blocks_.clear();
  }
  room_.notify_all();
  takenToEnd_.notify_all();
  changed_.Set();
}

}  // namespace twi::inet

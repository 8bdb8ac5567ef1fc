#include "simconnect/frame_queue.h"

namespace cvl::simconnect {

void FrameQueue::push(Frame frame) {
  {
    std::lock_guard lock(mutex_);
    if (closed_) {
      return;
    }
    frames_.push_back(std::move(frame));
  }
  changed_.notify_all();
}

void FrameQueue::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
}

bool FrameQueue::isClosed() {
  std::lock_guard lock(mutex_);
  return closed_;
}

FrameQueue::Taken FrameQueue::takeAll() {
  std::lock_guard lock(mutex_);
  return takeLocked();
}

FrameQueue::Taken FrameQueue::waitAndTakeAll() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return closed_ || !frames_.empty(); });
  return takeLocked();
}

FrameQueue::Taken FrameQueue::takeLocked() {
  Taken taken{{std::make_move_iterator(frames_.begin()), std::make_move_iterator(frames_.end())}, closed_};
  frames_.clear();
  return taken;
}

}  // namespace cvl::simconnect

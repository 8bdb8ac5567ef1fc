#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "simconnect/wire.h"

// Frames on their way from one thread to another, in order. Closing marks the end of the stream: frames pushed
// before stay to be taken, later ones are dropped.
namespace cvl::simconnect {

class FrameQueue {
 public:
  void push(Frame frame);
  void close();
  bool isClosed();

  // What a take found: the frames waiting, and whether the stream had ended before they were taken (so that nothing
  // can follow them).
  struct Taken {
    std::vector<Frame> frames;
    bool ended = false;
  };
  Taken takeAll();
  // Waits until a frame waits or the stream has ended.
  Taken waitAndTakeAll();

 private:
  Taken takeLocked();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Frame> frames_;
  bool closed_ = false;
};

}  // namespace cvl::simconnect

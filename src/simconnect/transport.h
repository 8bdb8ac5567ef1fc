#pragma once

#include <memory>

#include "simconnect/frame_queue.h"
#include "simconnect/wire.h"

// The client's end of a connection to the simulator: frames out, frames in. Used under the owning session's lock,
// so an implementation need not guard itself.
namespace cvl::simconnect {

class Transport {
 public:
  virtual ~Transport() = default;

  // False when the connection is gone.
  virtual bool send(const Frame& frame) = 0;
  // The frames that have arrived, without waiting; `ended` once the connection is over and nothing more will come.
  virtual FrameQueue::Taken receive() = 0;
  // Ends the connection; later calls do nothing.
  virtual void close() = 0;
};

// Connects to the simulator set with useInProcessSimulator, or else over loopback TCP on simulatorPort(). Returns
// nullptr at once when no simulator takes the connection.
std::unique_ptr<Transport> connectToSimulator();

}  // namespace cvl::simconnect

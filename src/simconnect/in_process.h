#pragma once

#include <memory>
#include <span>

#include "simconnect/frame_queue.h"
#include "simconnect/transport.h"

// A simulator in the client's own process, for tests: while one is set, SimConnect_Open connects to it instead of
// the TCP port. Requests are handed to the simulator on the calling thread, so its replies are waiting when the call
// returns; the simulator pushes its messages into the connection's queue.
namespace cvl::simconnect {

// The simulator's side of one connection.
class InProcessEndpoint {
 public:
  virtual ~InProcessEndpoint() = default;
  virtual void handle(std::span<const std::byte> request) = 0;
  virtual void clientClosed() = 0;
};

class InProcessSimulator {
 public:
  virtual ~InProcessSimulator() = default;
  // A new connection whose messages go to `toClient`, or nullptr when the simulator takes none.
  virtual std::shared_ptr<InProcessEndpoint> accept(std::shared_ptr<FrameQueue> toClient) = 0;
};

// nullptr goes back to the TCP port.
void useInProcessSimulator(std::shared_ptr<InProcessSimulator> simulator);
std::shared_ptr<InProcessSimulator> inProcessSimulator();

std::unique_ptr<Transport> connectInProcess(InProcessSimulator& simulator);

}  // namespace cvl::simconnect

#include "simconnect/transport.h"

#include "simconnect/in_process.h"
#include "simconnect/tcp_transport.h"

namespace cvl::simconnect {

std::unique_ptr<Transport> connectToSimulator() {
  if (auto simulator = inProcessSimulator()) {
    return connectInProcess(*simulator);
  }
  return connectTcp(simulatorPort());
}

}  // namespace cvl::simconnect

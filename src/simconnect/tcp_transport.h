#pragma once

#include <cstdint>
#include <memory>

#include "simconnect/transport.h"

namespace cvl::simconnect {

// The simulator's port: CORVALEN_SIM_PORT when it holds a port number, else defaultSimulatorPort.
std::uint16_t simulatorPort();

// Connects to the simulator on the loopback address. Returns nullptr when nothing listens there (a refusal comes at
// once; a connection that is neither taken nor refused is given up after a second).
std::unique_ptr<Transport> connectTcp(std::uint16_t port);

}  // namespace cvl::simconnect

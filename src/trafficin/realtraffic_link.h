#pragma once

#include <atomic>
#include <string_view>

// The TCP link with RealTraffic: its listen socket, the client socket of the connected RealTraffic, and the lines
// sent to it.
namespace cvl {

// RealTraffic's TCP client is connected.
extern std::atomic<bool> realTrafficConnected;
// Set until RealTraffic has connected, and again after the reset before a restart.
extern std::atomic<bool> awaitingRealTraffic;

// Sends one line on the client socket; a failure is logged, a closed peer clears realTrafficConnected.
void sendDataPacket(std::string_view line);
// Closes the listen socket, then the client socket; both are invalid afterwards. Errors are not reported.
void gf_closeRealTrafficSockets();

}  // namespace cvl

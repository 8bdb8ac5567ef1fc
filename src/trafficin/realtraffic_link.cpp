#include "trafficin/realtraffic_link.h"

namespace cvl {

std::atomic<bool> realTrafficConnected{false};
std::atomic<bool> awaitingRealTraffic{true};

// The link does not connect yet, so there is neither a line to send nor a socket to close.
void sendDataPacket(std::string_view /*line*/) {}

void gf_closeRealTrafficSockets() {}

}  // namespace cvl

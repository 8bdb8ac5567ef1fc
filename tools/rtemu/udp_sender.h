#pragma once

#include <string_view>

#include "platform/net/socket_owner.h"
#include "rtemu/recording.h"

// Sends the service's datagrams: traffic lines to Corvalen's traffic port (49005), weather to its weather port (49004).
namespace cvl::rtemu {

inline constexpr std::uint16_t trafficPort = 49005;
inline constexpr std::uint16_t weatherPort = 49004;

class UdpSender {
 public:
  // Throws std::runtime_error when no socket can be opened.
  UdpSender(net::Address traffic, net::Address weather);

  // False when the system refused the datagram; net::lastError() tells why.
  bool send(DatagramKind kind, std::string_view datagram);

 private:
  net::SocketOwner socket_;
  net::Address traffic_;
  net::Address weather_;
};

}  // namespace cvl::rtemu

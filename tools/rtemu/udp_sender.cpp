#include "rtemu/udp_sender.h"

#include <fmt/format.h>

#include <stdexcept>

namespace cvl::rtemu {

UdpSender::UdpSender(net::Address traffic, net::Address weather)
    : socket_(net::openSocket(net::SocketKind::datagram)), traffic_(traffic), weather_(weather) {
  if (!socket_.valid()) {
    throw std::runtime_error(fmt::format("cannot open a datagram socket, error {}", net::lastError()));
  }
}

bool UdpSender::send(DatagramKind kind, std::string_view datagram) {
  const net::Address& target = kind == DatagramKind::traffic ? traffic_ : weather_;
  return net::sendTo(socket_.get(), target, datagram) != net::socketError;
}

}  // namespace cvl::rtemu

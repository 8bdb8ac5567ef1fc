#include "trafficin/udp_reader.h"

#include <fmt/format.h>

#include <chrono>
#include <span>
#include <stdexcept>
#include <string_view>

#include "app/exit_reasons.h"
#include "app/startup.h"
#include "foundation/log.h"
#include "foundation/utilities.h"

namespace cvl {
namespace {

constexpr std::chrono::milliseconds wakeUpInterval{1000};

void lf_logOverrun(UdpReader& reader, std::string_view size) {
  if (!gf_stopping() && reader.malformedLog.admit()) {
    gf_log(fmt::format("buffer overrun: {} bytes", size));
  }
}

void lf_handOn(UdpReader& reader, std::size_t count, bool keepRepeats) {
  reader.buffer[count] = '\0';
  reader.data = reader.buffer.data();
  reader.length = count;
  ++reader.datagramCount;
  const std::string_view datagram{reader.data, count};
  if (!keepRepeats) {
    if (datagram == reader.lastDatagram) {
      return;
    }
    reader.lastDatagram.assign(datagram);
  }
  reader.onDatagram();
}

// One datagram, when one is waiting.
void lf_receiveOne(UdpReader& reader, bool keepRepeats) {
  const int received = net::receive(reader.socket, std::span{reader.buffer.data(), datagramCapacity});
  if (received == net::socketError) {
    const int error = net::lastError();
    // A datagram longer than the buffer is the sender's fault, not the reader's: anyone on the network could send
    // one, so it must not end the reader.
    if (error == net::errorMessageTooLong) {
      lf_logOverrun(reader, fmt::format("more than {}", datagramCapacity));
      return;
    }
    throw std::runtime_error(fmt::format("receive error: {}", gf_wsaErrorText(error)));
  }
  const auto count = static_cast<std::size_t>(received);
  if (count >= datagramCapacity) {
    lf_logOverrun(reader, fmt::format("{}", count));
  } else if (count > 0) {
    lf_handOn(reader, count, keepRepeats);
  }
}

}  // namespace

UdpReader::UdpReader(std::string_view readerName) : name{readerName} {}

UdpReader::~UdpReader() = default;

void gf_udpStartup(UdpReader& reader) {
  const int result = net::startup(net::version22, reader.wsaData);
  if (result != 0) {
    throw std::runtime_error(fmt::format("WSA startup error: {}", result));
  }
}

void gf_udpCreateSocket(UdpReader& reader) {
  reader.socket = net::openSocket(net::SocketKind::datagram);
  if (reader.socket == net::invalidSocket) {
    throw std::runtime_error(fmt::format("failed to create the socket, error: {}", gf_wsaErrorText(net::lastError())));
  }
}

void gf_udpBind(UdpReader& reader, std::uint16_t port) {
  const net::Address address = realTrafficDetected ? net::loopbackAddress(port) : net::anyAddress(port);
  if (net::bindTo(reader.socket, address) == net::socketError) {
    throw std::runtime_error(fmt::format("bind to stream socket failed, error: {}", gf_wsaErrorText(net::lastError())));
  }
  reader.boundPort = net::localPort(reader.socket);
}

void gf_udpReceiveLoop(UdpReader& reader) {
  const bool keepRepeats = realTrafficDetected;
  reader.lastDatagram.clear();  // each run starts afresh
  while (!reader.stop) {
    const int ready = net::waitReadable(reader.socket, wakeUpInterval);
    if (ready == net::socketError) {
      throw std::runtime_error(fmt::format("receive error: {}", gf_wsaErrorText(net::lastError())));
    }
    if (ready > 0) {
      lf_receiveOne(reader, keepRepeats);
    }
    reader.malformedLog.reportWhenDue();
  }
  gf_udpCloseSocket(reader);
  reader.onStopped();
}

void gf_udpCloseSocket(UdpReader& reader) {
  if (reader.socket != net::invalidSocket) {
    net::closeSocket(reader.socket);
    reader.socket = net::invalidSocket;
  }
  reader.boundPort = 0;
}

}  // namespace cvl

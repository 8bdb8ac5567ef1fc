#include "trafficin/realtraffic_link.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <span>
#include <stdexcept>

#include "app/exit_reasons.h"
#include "foundation/log.h"
#include "foundation/timekeeping.h"
#include "foundation/utilities.h"

namespace cvl {
namespace {

constexpr std::size_t replyCapacity = 16384;
constexpr std::chrono::milliseconds receiveSlice{100};
// The Winsock number for a connection the peer has shut down.
constexpr int errorGracefulShutdown = 10101;

// Everything set up so far is freed before the failure is thrown.
[[noreturn]] void lf_failStart(std::string_view text) {
  if (rtListenSocket != net::invalidSocket) {
    net::closeSocket(rtListenSocket);
    rtListenSocket = net::invalidSocket;
  }
  net::cleanup();
  throw std::runtime_error(std::string{text});
}

std::string lf_lastErrorText() {
  return gf_wsaErrorText(net::lastError());
}

void lf_closeClient() {
  if (rtClientSocket != net::invalidSocket) {
    net::closeSocket(rtClientSocket);
    rtClientSocket = net::invalidSocket;
  }
}

// The service answers only the version request; anything else it sends is read and dropped here, and the end of its
// stream means it has gone. Without this a closed peer shows only at the second send after it left.
bool lf_peerHasClosed() {
  std::array<char, replyCapacity> discarded{};
  while (net::waitReadable(rtClientSocket, std::chrono::milliseconds{0}) > 0) {
    const int count = net::receive(rtClientSocket, discarded);
    if (count == 0) {
      net::setLastError(errorGracefulShutdown);
      return true;
    }
    if (count == net::socketError) {
      return true;
    }
  }
  return false;
}

// A JSON object that is complete, or a text that can never become one.
bool lf_isWholeReply(std::string_view reply) {
  const auto start = reply.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) {
    return false;
  }
  return reply[start] != '{' || nlohmann::json::accept(reply);
}

}  // namespace

net::Socket rtListenSocket = net::invalidSocket;
net::Socket rtClientSocket = net::invalidSocket;
std::atomic<bool> realTrafficConnected{false};
std::atomic<bool> awaitingRealTraffic{true};
ThrottledLog realTrafficLinkLog{"RealTraffic link", "link notice"};

void startServer(const std::string& port) {
  gf_closeRealTrafficSockets();
  net::StartupData startupData;
  if (const int result = net::startup(net::version22, startupData); result != 0) {
    throw std::runtime_error(fmt::format("WSAStartup failed with error {}", result));
  }
  const net::Lookup lookup = net::resolveAddress("", port);
  if (lookup.error != 0) {
    lf_failStart(fmt::format("getaddrinfo failed with error {}", lookup.error));
  }
  rtListenSocket = net::openSocket(net::SocketKind::stream);
  if (rtListenSocket == net::invalidSocket) {
    lf_failStart(fmt::format("socket failed with error {}", lf_lastErrorText()));
  }
  if (net::setBlocking(rtListenSocket, true) == net::socketError) {
    lf_failStart(fmt::format("ioctlsocket failed with error {}", lf_lastErrorText()));
  }
  // On this system the option only lets a new run listen again while connections of the last one linger in
  // TIME_WAIT; it never lets two listeners share the port.
  if (net::setReuseAddress(rtListenSocket, true) == net::socketError) {
    lf_failStart("setsockopt(SO_REUSEADDR) failed");
  }
  // The link is used only when the service runs on this computer, so no other host needs to reach the port.
  if (net::bindTo(rtListenSocket, net::loopbackAddress(lookup.address.port)) == net::socketError) {
    lf_failStart(fmt::format("Bind failed at port {} with error {}", port, lf_lastErrorText()));
  }
  if (net::listenOn(rtListenSocket, net::maxBacklog) == net::socketError) {
    lf_failStart(fmt::format("listen failed with error {}", lf_lastErrorText()));
  }
}

bool waitForClient(std::chrono::milliseconds wait) {
  if (realTrafficConnected || rtListenSocket == net::invalidSocket) {
    return false;
  }
  const net::Socket client = net::acceptConnection(rtListenSocket, wait);
  if (client == net::invalidSocket) {
    return false;
  }
  if (net::setNoDelay(client, true) == net::socketError) {
    const std::string error =
        fmt::format("{} setsockopt failed with error {}", gf_utcNowHms(), gf_wsaErrorText(net::lastError()));
    net::closeSocket(client);
    gf_logUnlessClosing(fmt::format("waitForClient interrupted: {}", error));
    return false;
  }
  rtClientSocket = client;
  realTrafficConnected = true;
  return true;
}

std::string receive(std::chrono::milliseconds patience) {
  std::string reply;
  std::array<char, replyCapacity> chunk{};
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!gf_stopping() && !lf_isWholeReply(reply)) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left <= std::chrono::milliseconds{0}) {
      break;
    }
    const int ready = net::waitReadable(rtClientSocket, std::min(left, receiveSlice));
    if (ready == 0) {
      continue;
    }
    const int count = ready == net::socketError ? net::socketError : net::receive(rtClientSocket, chunk);
    if (count == net::socketError) {
      gf_logUnlessClosing(fmt::format("receive: {}", lf_lastErrorText()));
      return {};
    }
    if (count == 0) {
      break;
    }
    reply.append(chunk.data(), static_cast<std::size_t>(count));
    if (reply.size() >= replyCapacity) {
      gf_logUnlessClosing(fmt::format("receive: buffer overrun: {}", reply.size()));
      return {};
    }
  }
  return reply;
}

bool sendDataPacket(std::string_view line) {
  if (!lf_peerHasClosed() && net::send(rtClientSocket, line) != net::socketError) {
    return true;
  }
  const std::string error = lf_lastErrorText();
  realTrafficConnected = false;
  lf_closeClient();
  constexpr std::string_view closed = "RealTraffic client socket closed";
  if (!gf_stopping() && realTrafficLinkLog.admitState(closed)) {
    gf_log(fmt::format("sendDataPacket to RealTraffic failed: {}", error));
    gf_log(closed);
  }
  return false;
}

void gf_closeRealTrafficSockets() {
  if (rtListenSocket != net::invalidSocket) {
    net::closeSocket(rtListenSocket);
    rtListenSocket = net::invalidSocket;
  }
  lf_closeClient();
  realTrafficConnected = false;
}

}  // namespace cvl

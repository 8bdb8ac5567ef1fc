#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/throttled_log.h"
#include "platform/net/sockets.h"

// A receiver of the traffic service's UDP datagrams: a loop that wakes at least once a second, hands each datagram to
// onDatagram and calls onStopped when its stop flag ends it. Each reader has a thread of its own; the worker thread
// sets the stop flag and reads the counters.
namespace cvl {

inline constexpr std::size_t datagramCapacity = 16384;

class UdpReader {
 public:
  // The name is the reader thread's, as the log shows it.
  explicit UdpReader(std::string_view readerName);
  UdpReader(const UdpReader&) = delete;
  UdpReader& operator=(const UdpReader&) = delete;
  virtual ~UdpReader();

  // The datagram in data[0..length), followed by a NUL.
  virtual void onDatagram() = 0;
  // The loop ended because stop was set.
  virtual void onStopped() = 0;

  const std::string_view name;
  // Every line about a malformed datagram of this reader goes through it.
  ThrottledLog malformedLog{name, "malformed datagram"};
  const char* data = nullptr;
  std::uint64_t length = 0;
  // Ends the receive loop within a second.
  std::atomic<bool> stop{false};
  // Datagrams received and not refused for their size, repeats included.
  std::atomic<std::uint32_t> datagramCount{0};
  // datagramCount at the previous activity check.
  std::atomic<std::uint32_t> lastCheckedCount{0};
  std::array<char, datagramCapacity + 1> buffer{};
  // The last datagram handed on (the repeat filter).
  std::string lastDatagram;
  net::StartupData wsaData;
  // Touched by the reader's thread only.
  net::Socket socket = net::invalidSocket;
  // The port the socket is bound to; 0 while there is none.
  std::atomic<std::uint16_t> boundPort{0};
  // The reader's thread has started and not yet finished.
  std::atomic<bool> threadRunning{false};
};

// Socket start-up (version 2.2). Throws "WSA startup error: {}".
void gf_udpStartup(UdpReader& reader);
// An IPv4 datagram socket. Throws "failed to create the socket, error: {}".
void gf_udpCreateSocket(UdpReader& reader);
// Binds to the port on 127.0.0.1 when the traffic service is installed on this computer, else on any address; port 0
// lets the system choose. Throws "bind to stream socket failed, error: {}".
void gf_udpBind(UdpReader& reader, std::uint16_t port);
// Receives until stop is set, then closes the socket and calls onStopped. A failing receive throws "receive error: {}";
// a datagram too long for the buffer is logged (as a malformed one) and skipped. Without the traffic service on this
// computer, a datagram equal to the one handed on before (in this loop) is dropped.
void gf_udpReceiveLoop(UdpReader& reader);
// Closes the reader's socket when it is open.
void gf_udpCloseSocket(UdpReader& reader);

}  // namespace cvl

#pragma once

#include <atomic>
#include <cstdint>

#include "trafficin/udp_reader.h"

// The receiver of the traffic service's weather datagrams: JSON objects whose "QNH" gives the air pressure at the
// user's position, which it publishes for the engine and the main window.
namespace cvl {

class QnhReader : public UdpReader {
 public:
  QnhReader() : UdpReader{"QNH Reader"} {}

  // Publishes the datagram's QNH, clamped to 900..1100 hPa, when it changed or is 1013. A datagram without a usable
  // QNH is logged and ignored.
  void onDatagram() override;
  void onStopped() override;

  // The last value published; 0 at start, 1013 after a reset.
  std::atomic<std::int32_t> lastQnh{0};
};

extern QnhReader qnhReader;

// The QNH the traffic engine reads, hPa.
extern std::atomic<std::int32_t> currentQnh;

}  // namespace cvl

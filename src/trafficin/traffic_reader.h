#pragma once

#include <atomic>

// The receiver of the traffic service's traffic datagrams.
namespace cvl {

struct TrafficReader {
  // The "timestamp" field of the last traffic line parsed, in seconds since 1970-01-01 UTC; 0 until the first one.
  std::atomic<double> latestTime{0.0};
};

extern TrafficReader trafficReader;

// Set when the traffic service reported its professional edition; its data time then drives the traffic clock.
extern std::atomic<bool> rtProfessional;

}  // namespace cvl

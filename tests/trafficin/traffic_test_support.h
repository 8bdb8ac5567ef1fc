#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "foundation/open_log.h"
#include "foundation/settings_catalogue.h"
#include "support/eventually.h"
#include "trafficin/qnh_reader.h"
#include "trafficin/reader_control.h"
#include "trafficin/realtraffic_link.h"
#include "trafficin/traffic_queue.h"
#include "trafficin/traffic_reader.h"

namespace cvl::test {

// Log.txt in a fresh temporary current folder for the object's lifetime.
class CapturedLog : public OpenLog {
 public:
  bool holds(std::string_view text) const { return body().find(text) != std::string::npos; }
};

// A traffic report of 29 fields; every field can be replaced by its index.
class TrafficLine {
 public:
  TrafficLine& set(std::size_t index, std::string value) {
    fields_.at(index) = std::move(value);
    return *this;
  }
  std::string text() const {
    std::string line = fields_[0];
    for (std::size_t index = 1; index < fields_.size(); ++index) {
      line += ',';
      line += fields_[index];
    }
    return line;
  }

 private:
  // An A320 climbing out of Heathrow, 3500 ft at 160 kt, from a transponder with a true heading.
  std::array<std::string, 29> fields_{
      "x",      "4840000", "51.4700", "-0.4543",      "3500", "-768", "0",         "270.5", "160", "BAW123", "A320",
      "G-EUPT", "LHR",     "EDI",     "1700000000.5", "0",    "0",    "adsb_icao", "0",     "0",   "180",    "0",
      "0",      "-2.5",    "0",       "271.0",        "0",    "0",    "A3"};
};

// The traffic input's shared state put back to its start, with the range centred on the sample line's position.
inline void resetTrafficInput() {
  for (UdpReader* reader : std::initializer_list<UdpReader*>{&trafficReader, &qnhReader}) {
    reader->malformedLog.now = [] { return std::chrono::steady_clock::now(); };
  }
  realTrafficLinkLog.now = [] { return std::chrono::steady_clock::now(); };
  gf_resetReaders();
  trafficReader.setRefPosition({51.47, -0.4543});
  trafficReader.setRefElevation(std::nullopt);
  trafficReader.setParkAirport(std::nullopt);
  trafficReader.recordCallsigns = false;
  {
    const std::lock_guard lock{trafficQueueMutex};
    trafficQueue.clear();
    acceptTraffic = true;
  }
  rangeNm = 40.0;
  AIRBORNE_ONLY.value = false;
  realTrafficDetected = false;
  stopRequested = false;
  closeRequested = false;
  exitReason = ExitReason::notYetSet;
}

}  // namespace cvl::test

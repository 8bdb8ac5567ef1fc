// Arbitrary bytes as a traffic datagram, handed to the traffic reader as its receive loop does. Nothing may crash,
// the latest data time stays 0 or plausible, and every queued item is a finite position on Earth with a live hexid,
// at least one name and short clean texts.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "foundation/settings_catalogue.h"
#include "foundation/text_encoding.h"
#include "fuzz_support.h"
#include "trafficin/traffic_queue.h"
#include "trafficin/traffic_reader.h"

namespace {

using cvl::fuzz::check;

// A wide range around a park airport, so that most lines reach the later checks.
bool lf_prepare() {
  cvl::rangeNm = 20000.0;
  cvl::trafficReader.setRefPosition({51.47, -0.4543});
  cvl::trafficReader.setParkAirport(cvl::ParkAirportPlace{{51.47, -0.4543}, 80.0});
  cvl::trafficReader.setRefElevation(80.0);
  cvl::trafficReader.recordCallsigns = true;
  const std::lock_guard lock{cvl::trafficQueueMutex};
  cvl::acceptTraffic = true;
  return true;
}

void lf_checkItem(const cvl::TrafficItem& item) {
  const cvl::TimedPosition& position = item.position;
  check(item.hexid > 10000);
  check(std::isfinite(position.lat) && std::abs(position.lat) <= 90.0);
  check(std::isfinite(position.lon) && std::abs(position.lon) <= 180.0);
  check(std::isfinite(position.altitude) && position.altitude >= 0.0);
  check(position.airborne == (position.altitude > 0.0));
  check(std::isfinite(position.tas) && std::isfinite(position.track) && std::isfinite(position.groundSpeed));
  check(!item.callsign.empty() || !item.registration.empty());
  check(!item.type.empty() && item.registration.size() <= 12);
  for (const std::string* text : {&item.callsign, &item.type, &item.registration, &item.origin, &item.destination}) {
    check(cvl::gf_isCleanText(*text) && text->size() <= 16);
  }
  check(!position.trueHeading || (*position.trueHeading > 0.0 && *position.trueHeading <= 6.283185307179587));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool prepared = lf_prepare();
  check(prepared);
  if (size >= cvl::datagramCapacity) {
    return 0;  // the receive loop never hands on more
  }
  std::string datagram{cvl::fuzz::asText(data, size)};
  cvl::trafficReader.data = datagram.data();
  cvl::trafficReader.length = datagram.size();
  cvl::trafficReader.onDatagram();

  const double latest = cvl::trafficReader.latestTime;
  check(latest == 0.0 || (latest >= 946684800.0 && latest <= 4102444800.0));
  const std::lock_guard lock{cvl::trafficQueueMutex};
  for (const auto& item : cvl::trafficQueue) {
    lf_checkItem(item);
  }
  cvl::trafficQueue.clear();
  if (cvl::trafficReader.callsignsSeen().size() > 1000) {
    cvl::trafficReader.clearCallsignsSeen();
  }
  return 0;
}

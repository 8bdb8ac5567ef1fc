#pragma once

#include <cstdint>

#include "engine/identity_texts.h"
#include "trafficin/timed_position.h"

// One accepted traffic line, on its way from the traffic reader to the engine. Its texts are the identity head the
// engine moves into the aircraft's record; the parser fills type, origin, destination, callsign and registration.
namespace cvl {

struct TrafficItem : IdentityTexts {
  TimedPosition position;
  // The traffic service's data time of the line, Unix seconds.
  double timestamp = 0.0;
  // The aircraft's address; always above 10000 (lower ids belong to static parked aircraft).
  std::uint32_t hexid = 0;
};

}  // namespace cvl

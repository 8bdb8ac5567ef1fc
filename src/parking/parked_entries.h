#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/half_hours.h"

// The static-parking selection: the stands chosen for static aircraft and not yet filled (the engine's queue feeder
// turns the last entry into a static aircraft on a free creation beat), and, during a parking adjustment, the static
// aircraft that stay and those that go. Worker thread.
namespace cvl {

// One chosen aircraft at one stand, from one stand option.
struct ParkedEntry {
  std::uint32_t sid = 0;       // the stand
  std::uint32_t fitLevel = 0;  // half hours back from now at which the option was found
  std::string airline;
  std::string type;
  std::string callsign;   // the arriving flight
  std::string callsign2;  // the departing flight
  std::string reg;
  // The aircraft stays past the next half hour under its arriving callsign (or has no departing one).
  bool stays = false;
};

// A static aircraft in the simulator that keeps its stand in an adjustment.
struct KeptStatic {
  std::string callsign;
  std::string optCallsign;
  std::string cplCallsign;
  std::string registration;
  std::string airline;
  std::string type;
  WeekTime parkedSince;
  std::uint32_t sid = 0;
  // Its option ends now and continues under the second callsign: it is created again under that one.
  bool departs = false;
};

// A static aircraft to be taken out of the simulator, by callsign and stand.
struct StaticRemoval {
  std::string callsign;
  std::uint32_t sid = 0;
};

extern std::vector<ParkedEntry> parkedEntries;
extern std::vector<KeptStatic> keptStatics;
extern std::vector<StaticRemoval> staticRemovals;

}  // namespace cvl

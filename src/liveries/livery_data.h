#pragma once

#include <cstdint>
#include <list>
#include <string>

// One installed livery as the scan finds it in an aircraft.cfg and as LiveriesScanned.xml keeps it.
namespace cvl {

struct LiveryData {
  std::string airl;         // airline ICAO code; "ZZZ" the generic airline, "PVT" a private owner
  std::string type;         // ICAO type designator of the model
  std::string title;        // the container title the simulator is asked to create
  std::string atcid;        // registration painted on the livery; empty when the section gives none
  std::uint32_t folder{0};  // priority of the scanned folder (1..10); 0 when read back from the file
  bool cargo{false};
};

using LiveryList = std::list<LiveryData>;

// The airline given to liveries of no airline.
inline const std::string genericAirline{"ZZZ"};
// The airline given to liveries of private owners.
inline const std::string privateAirline{"PVT"};

// Equal title, airline, type, registration and cargo flag; the folder does not count.
bool lf_liveryKeyEquals(const LiveryData& a, const LiveryData& b);

// By airline, then type, then title, as bytes.
bool operator<(const LiveryData& a, const LiveryData& b);

// The liveries of the scan in progress, or those read back from LiveriesScanned.xml until the livery tables are built.
// Worker thread only: the scan's reader threads hand their records over through their futures.
extern LiveryList ScannedLiveries;

}  // namespace cvl

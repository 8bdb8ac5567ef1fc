#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "simconnect/simconnect.h"
#include "simconnect/wire.h"
#include "simemu/sim_object.h"

// The datums the emulated simulator knows ("PLANE LATITUDE", "ATC ID", ...), and the data blocks of a client's data
// definitions: the datums in declaration order, each in its declared unit and data type, packed without gaps in the
// machine's own byte order.
namespace cvl::simemu {

// What datums read from the world around an object.
struct WorldView {
  double groundAltitudeFt = 0;
  std::int64_t unixTime = 0;
};

struct DatumEntry;

// One datum as a client declared it.
struct Datum {
  const DatumEntry* entry = nullptr;  // nullptr: a name the simulator does not know, read as 0 or "", never written
  int index = 0;                      // n of an indexed name "NAME:n"
  SIMCONNECT_DATATYPE type = SIMCONNECT_DATATYPE_FLOAT64;
  double storedToDeclared = 1;  // factor from the unit the object keeps to the declared unit
};

enum class DatumFault { unknownName, unknownUnits, wrongType };

struct DatumDeclaration {
  std::optional<Datum> datum;  // nullopt when the data type leaves no place for it in a block
  std::optional<DatumFault> fault;
};

// Names and units compare without regard to case.
DatumDeclaration declareDatum(std::string_view name, std::string_view units, SIMCONNECT_DATATYPE type);

simconnect::Frame encodeBlock(const std::vector<Datum>& definition, const SimObject& object, const WorldView& world);

// Writes the writable datums of a client's block into the object. False, with the object unchanged, when the block
// does not have the definition's layout.
bool applyBlock(const std::vector<Datum>& definition, std::span<const std::byte> block, SimObject& object,
                const WorldView& world);

}  // namespace cvl::simemu

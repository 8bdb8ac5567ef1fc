#pragma once

#include <cstdint>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "parking/park_pos.h"

// Reading the stands of an airport file: root / parkpositions / parkpos, each with its opt children.
namespace cvl {

// Who an opt element stands for.
struct OptionIdentity {
  std::string callsign;
  std::string callsign2;
  std::string airline;
  std::string type;
};

// Appends every stand of the document's parkpositions (under root when there is one) to the stands. Throws
// UserErrorException 93 for a stand without a usable id and 94 for an id that appears twice.
void lf_readParkPositions(pugi::xml_node document, std::vector<ParkPos>& stands);

// Reads one parkpos element as the stand with that id and appends it; origin goes into each of its options. A stand
// at latitude and longitude 0 is skipped silently; one with an attribute that is not a usable number is logged and
// skipped. True when the stand was appended.
bool lf_readParkPos(pugi::xml_node node, std::string id, std::uint32_t origin, std::vector<ParkPos>& stands);

// The opt element's callsigns ("cs", split at its first colon) and its airline and type: those of the registration
// database when it knows "reg" (the operator before the airline), else the element's "airl" and "type".
OptionIdentity lf_resolveRegistration(pugi::xml_node optNode);

// One opt element as an option with id 0: its identity, registration, half hours (none without "hh"), day (0 when not
// a whole number), real flag and coupled flag.
StandOption lf_readStandOption(pugi::xml_node optNode, std::uint32_t origin);

// A number attribute: 0 when it is missing, nothing when it is there but not a finite number.
std::optional<double> gf_apfNumber(pugi::xml_node node, const char* name);

}  // namespace cvl

#pragma once

#include <cstddef>
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

// What reading stands left out: stands without a usable position, options without half hours or weekday or with
// texts that are not clean.
struct LeftOut {
  std::size_t stands = 0;
  std::size_t options = 0;
  std::string first;  // the first of them and why, such as "stand 'B7' has no position"

  bool any() const { return stands + options > 0; }
};

// Appends every stand of the document's parkpositions (under root when there is one) to the stands and returns what
// it left out. Throws UserErrorException 93 for a stand without a usable id and 94 for an id that appears twice.
LeftOut lf_readParkPositions(pugi::xml_node document, std::vector<ParkPos>& stands);

// Reads one parkpos element as the stand with that id and appends it; origin goes into each of its options. A stand
// at latitude and longitude 0 is skipped silently; one with an attribute that is not a usable number is logged and
// skipped. True when the stand was appended; what it left out, the stand or some of its options, is added to leftOut.
bool lf_readParkPos(pugi::xml_node node, std::string id, std::uint32_t origin, std::vector<ParkPos>& stands,
                    LeftOut& leftOut);

// The opt element's callsigns ("cs", split at its first colon) and its airline and type: those of the registration
// database when it knows "reg" (the operator before the airline), else the element's "airl" and "type".
OptionIdentity lf_resolveRegistration(pugi::xml_node optNode);

// One opt element as an option with id 0: its identity, registration, half hours (none without "hh"), day (0 when not
// a whole number), real flag and coupled flag.
StandOption lf_readStandOption(pugi::xml_node optNode, std::uint32_t origin);

// Whether the option's callsigns, registration, airline and type are clean text (gf_isCleanText). They name a static
// aircraft to the simulator, on the window and in Log.txt: an option with damaged bytes in them is left out, as live
// traffic with such an identity is refused.
bool gf_hasCleanTexts(const StandOption& option);

// A number attribute: 0 when it is missing, nothing when it is there but not a finite number.
std::optional<double> gf_apfNumber(pugi::xml_node node, const char* name);

}  // namespace cvl

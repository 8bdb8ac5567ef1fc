#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/ac_category.h"

// The questions the other subsystems ask of the type, airline and publisher tables of the aircraft database. All of
// them only read the tables and may be called from any thread once gf_readDbase has returned.
namespace cvl {

// The category of the first set holding the type, in the order Large, Heavy, Buzjets, Rotorcraft, HighPerf; Light
// for a type in none of them. The only derivation of AcCategory from a type code.
AcCategory gf_aircraftCategory(std::string_view type);

// False for an empty text, else whether KnownTypes (IcaoAirlines) holds it.
bool gf_isKnownType(std::string_view type);
bool gf_isIcaoAirline(std::string_view airline);

// Half the type's wingspan in nautical miles; for a type without a wingspan, the average of its category.
double gf_halfWingspan(std::string_view type);

// Whether the pattern occurs in the text, both compared in lower case (tolower of the default locale, byte by byte).
// An empty pattern occurs in every text.
bool gf_containsNoCase(std::string_view text, std::string_view pattern);

// The first name of the first publisher one of whose names occurs in the text (a folder name, a manifest field),
// compared without regard to case; no value when none does.
std::optional<std::string> gf_findPublisher(std::string_view text);

std::size_t lf_publisherCount();

}  // namespace cvl

#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/identity_texts.h"

// The texts that name an aircraft in log lines, and the small tests on its identity. Each takes any record headed by
// the identity texts (a traffic item, a static or a live aircraft).
namespace cvl {

// The callsign padded to 8 columns.
std::string lf_callsignText(const IdentityTexts& aircraft);
// "ORG->DST" with each code padded to 3 columns; 8 blanks when both are empty, so the columns stay.
std::string lf_routeText(const IdentityTexts& aircraft);
// Airline padded to 3 columns, a blank, type padded to 4.
std::string gf_airlineTypeText(const IdentityTexts& aircraft);
// Callsign, registration (8 columns) and route.
std::string lf_acLabelLong(const IdentityTexts& aircraft);
// The usual label of an aircraft in log lines: the long label and the airline and type.
std::string gf_acLabel(const IdentityTexts& aircraft);
// Callsign, registration and airline and type (livery matching and flight plans).
std::string gf_acRegLabel(const IdentityTexts& aircraft);
// Airline and type, a blank, registration: the look-up key of the spawn step.
std::string lf_keyText(const IdentityTexts& aircraft);
// "lat,lon" with six decimals each.
std::string formatPosition(double lat, double lon);

// Same airline and same type.
bool gf_sameStringPair(const IdentityTexts& a, const IdentityTexts& b);
// Not empty, not "@@@@@@@@", at most 8 characters.
bool lf_isValidCallsign(const IdentityTexts& aircraft);
// The airline code of a callsign: its first three characters upper-cased when they are letters and the fourth is a
// digit; nothing otherwise.
std::optional<std::string> lf_airlineFromCallsign(std::string_view callsign);
// Takes the airline from the callsign when it has one; false (and nothing changed) otherwise.
bool lf_setAirlineFromCallsign(IdentityTexts& aircraft);

// Whether a learned stand option in use stands for this aircraft: by either of its callsigns, else by airline and
// type. An option is any record with id, real, callsign, callsign2, airline and type (the airport file's options).
template <typename StandOption>
bool lf_standOptionMatches(std::string_view callsign, const IdentityTexts& identity, const StandOption& option) {
  if (option.id == 0 || !option.real) {
    return false;
  }
  if (option.callsign == callsign || option.callsign2 == callsign) {
    return true;
  }
  return option.airline == identity.airline && option.type == identity.type;
}

}  // namespace cvl

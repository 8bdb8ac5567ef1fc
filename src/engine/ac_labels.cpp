#include "engine/ac_labels.h"

#include <fmt/format.h>

#include <cctype>

#include "foundation/strings.h"

namespace cvl {

std::string lf_callsignText(const IdentityTexts& aircraft) {
  return fmt::format("{:8}", aircraft.callsign);
}

std::string lf_routeText(const IdentityTexts& aircraft) {
  if (aircraft.origin.empty() && aircraft.destination.empty()) {
    return std::string(8, ' ');
  }
  return fmt::format("{:3}->{:3}", aircraft.origin, aircraft.destination);
}

std::string gf_airlineTypeText(const IdentityTexts& aircraft) {
  return fmt::format("{:3} {:4}", aircraft.airline, aircraft.type);
}

std::string lf_acLabelLong(const IdentityTexts& aircraft) {
  return fmt::format("{} {:8} {}", lf_callsignText(aircraft), aircraft.registration, lf_routeText(aircraft));
}

std::string gf_acLabel(const IdentityTexts& aircraft) {
  return fmt::format("{} {}", lf_acLabelLong(aircraft), gf_airlineTypeText(aircraft));
}

std::string gf_acRegLabel(const IdentityTexts& aircraft) {
  return fmt::format("{} {} {}", lf_callsignText(aircraft), aircraft.registration, gf_airlineTypeText(aircraft));
}

std::string lf_keyText(const IdentityTexts& aircraft) {
  return fmt::format("{} {}", gf_airlineTypeText(aircraft), aircraft.registration);
}

std::string formatPosition(double lat, double lon) {
  return fmt::format("{:.6f},{:.6f}", lat, lon);
}

bool gf_sameStringPair(const IdentityTexts& a, const IdentityTexts& b) {
  return a.airline == b.airline && a.type == b.type;
}

bool lf_isValidCallsign(const IdentityTexts& aircraft) {
  return !aircraft.callsign.empty() && aircraft.callsign != "@@@@@@@@" && aircraft.callsign.size() <= 8;
}

std::optional<std::string> lf_airlineFromCallsign(std::string_view callsign) {
  const auto isLetter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
  if (callsign.size() < 4 || !isLetter(callsign[0]) || !isLetter(callsign[1]) || !isLetter(callsign[2]) ||
      std::isdigit(static_cast<unsigned char>(callsign[3])) == 0) {
    return std::nullopt;
  }
  return gf_asciiUpper(callsign.substr(0, 3));
}

bool lf_setAirlineFromCallsign(IdentityTexts& aircraft) {
  auto airline = lf_airlineFromCallsign(aircraft.callsign);
  if (!airline) {
    return false;
  }
  aircraft.airline = std::move(*airline);
  return true;
}

}  // namespace cvl

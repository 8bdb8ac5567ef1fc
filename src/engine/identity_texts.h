#pragma once

#include <string>
#include <utility>

// The texts that say who an aircraft is. A parsed traffic line carries them to the engine, which moves them into the
// aircraft's record; nothing copies them on the way. Moving leaves the source texts empty.
namespace cvl {

struct IdentityTexts {
  IdentityTexts() = default;
  IdentityTexts(const IdentityTexts&) = delete;
  IdentityTexts& operator=(const IdentityTexts&) = delete;
  IdentityTexts(IdentityTexts&& source) noexcept { takeFrom(source); }
  IdentityTexts& operator=(IdentityTexts&& source) noexcept {
    if (this != &source) {
      takeFrom(source);
    }
    return *this;
  }
  ~IdentityTexts() = default;

  std::string airline;  // ICAO airline code
  std::string type;     // ICAO type designator
  std::string origin;
  std::string destination;
  std::string callsign;
  // A live aircraft: the callsign as received. A static aircraft: the first callsign of its stand option.
  std::string optCallsign;
  // A live aircraft: empty at first. A static aircraft: the second callsign of its stand option.
  std::string cplCallsign;
  std::string registration;
  // The search for coupled callsigns in the learned stand options has run for this aircraft.
  bool coupledSearched = false;

 private:
  void takeFrom(IdentityTexts& source) noexcept {
    airline = std::exchange(source.airline, {});
    type = std::exchange(source.type, {});
    origin = std::exchange(source.origin, {});
    destination = std::exchange(source.destination, {});
    callsign = std::exchange(source.callsign, {});
    optCallsign = std::exchange(source.optCallsign, {});
    cplCallsign = std::exchange(source.cplCallsign, {});
    registration = std::exchange(source.registration, {});
    coupledSearched = source.coupledSearched;
  }
};

}  // namespace cvl

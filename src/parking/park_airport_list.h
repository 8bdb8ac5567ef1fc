#pragma once

#include <atomic>
#include <list>
#include <string>

#include "refdata/airports_database.h"

// The park airports: the airports at which static aircraft may be parked, nearest first once the static parking has
// sorted them. Worker thread.
namespace cvl {

struct ParkAirport {
  std::string code;
  // The stand the user will park at, kept free; empty when none.
  std::string reservedStand;
  double latitude = 0.0;  // degrees
  double longitude = 0.0;
  double distance = 0.0;  // nautical miles to the user
};

extern std::list<ParkAirport> parkAirports;
// The airport file of the park airport has been read with its stands; its learned file is saved when it is left.
extern std::atomic<bool> parkAirportFileLoaded;

// The Re-read request: reads the list again and, with checkStand, takes over a changed reserved stand of the park
// airport. False when the list could not be read without fault; else true with the message for the status line.
bool gf_checkParkAirports(bool checkStand, std::string& message);

// "EDDF (A12)" with the reserved stand, "EDDF" without; "?" for no code.
std::string lf_parkAirportText(const ParkAirport& airport);
// "EDDF (FRA)" with the IATA code, "EDDF" without.
std::string lf_parkAirportText(const Airport& airport);

}  // namespace cvl

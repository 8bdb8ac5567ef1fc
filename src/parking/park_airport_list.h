#pragma once

#include <atomic>
#include <list>
#include <string>

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
// The airport file of the park airport has been read.
extern std::atomic<bool> parkAirportFileLoaded;

// The Re-read request: reads the list again and checks the reserved stands. True when `message` is to be shown on the
// status line.
bool gf_checkParkAirports(bool checkStand, std::string& message);

}  // namespace cvl

#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "parking/park_pos.h"
#include "parking/quality_factors.h"

// Reading the park airport's airport file, with its learned file on top, into the stands; and leaving it again.
// Worker thread.
//
// While an airport's files are read, eight static-parking settings (MAX_LIVE_SEL, MAX_FIT, parking_percentage,
// AUTO_RANGE, RANGE, INITIAL_LOAD_ONLY, PARK_SOFT, WEEK) take the values of its learned file, or defaults chosen by
// the quality of its data; leaving the airport gives the user's own values back. The "apfLoaded" flag of a loaded
// file whose learned file must be saved is parkAirportFileLoaded (park_airport_list.h).
namespace cvl {

// What the park airport's file says about the airport.
struct ParkAirportFile {
  std::string airport_name;
  std::string publisher;
  std::int32_t altitude = 0;  // feet
};

extern ParkAirportFile parkAirportFile;
extern QualityFactors parkQualityFactors;
// The stands come from a handmade learned file.
extern bool apfHandmade;
// Feet; the airport file's altitude of the park airport.
extern std::atomic<double> parkAirportElevation;

// Reads the named airport file of currentParkAirport (fetching a remote one first) and its learned file into the
// stands, numbers them and finds their neighbours. Empty on success, else the error text; "no stands found" when the
// files hold no stand. A missing altitude or a bad stand id throws UserErrorException.
std::string gf_readApf(const std::string& name, ParkAirportFile& airportFile, QualityFactors& factors,
                       std::vector<ParkPos>& stands);

// Leaves the park airport: saves its learned file when one was loaded and gives the user's settings back.
void gf_resetParkAirport();

}  // namespace cvl

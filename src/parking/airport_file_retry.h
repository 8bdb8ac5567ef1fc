#pragma once

#include <chrono>
#include <optional>
#include <string>

// An airport whose file could not be had (the site did not deliver it, could not be reached, or the file did not
// read) is not asked for again at once: the park airport would be chosen again 16 s later, and a site that lacks the
// file would be asked every 32 s for as long as the user stays, each time with the same lines in Log.txt. The file
// waits instead, longer with each failure in a row: 2, 4, 8 and 16 minutes, then 30 each time. A wait holds for the
// file name that failed, so another file of the airport (one the user puts in airports/my_thirdparty) is read at
// once. A file that reads ends its airport's waits; a restart ends them all. Time is the run loop's clock. Worker
// thread.
namespace cvl {

// Why the airport's file failed the last time, and how long it waits still.
struct AirportFileWait {
  std::string failure;
  std::chrono::seconds left;
};

// The airport's file of that name could not be had just now, for that reason.
void gf_noteAirportFileFailed(const std::string& code, const std::string& name, const std::string& failure);
// The wait of the airport's file of that name; none when it may be asked for now.
std::optional<AirportFileWait> gf_airportFileWait(const std::string& code, const std::string& name);
// The airport's file was read: a later failure waits the shortest time again.
void gf_forgetAirportFileFailures(const std::string& code);
// Every airport's (a restart).
void gf_forgetAirportFileFailures();

}  // namespace cvl

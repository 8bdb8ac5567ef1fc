#include "parking/user_stand.h"

#include <mutex>
#include <optional>
#include <string>

#include "foundation/constants.h"
#include "parking/current_park_airport.h"
#include "parking/park_airport_list.h"
#include "parking/park_airports.h"
#include "simlink/user_aircraft.h"

namespace cvl {
namespace {

constexpr double standingKnots = 2.0;

std::mutex watchedStandMutex;
std::optional<std::string> watchedStand;

}  // namespace

void gf_watchUserStand() {
  // The simulator link keeps userStandName for the latest position reply on this same thread.
  if (!userOnGroundKnown || gf_userAcSnapshot().groundVelocity > standingKnots || userStandName.empty()) {
    return;
  }
  const std::lock_guard lock{watchedStandMutex};
  watchedStand = userStandName;
}

void gf_applyWatchedUserStand() {
  std::optional<std::string> stand;
  {
    const std::lock_guard lock{watchedStandMutex};
    stand.swap(watchedStand);
  }
  if (!stand || parkAirports.empty() || parkAirports.front().code != currentParkAirport.code ||
      parkAirports.front().reservedStand == *stand) {
    return;
  }
  parkAirports.front().reservedStand = *stand;
  gf_addMyParkAirport();
}

}  // namespace cvl

#include "engine/live_parked.h"

#include <fmt/format.h>

#include <algorithm>

#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "engine/engine_clock.h"
#include "engine/live_aircraft.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "parking/stand_names.h"
#include "parking/wanted_parked_count.h"

namespace cvl {

namespace {

constexpr std::int64_t ticksOf100nsPerMinute = 600'000'000;
constexpr std::int64_t longestParkedMinutes = 90;
constexpr std::int64_t longestParkedMinutesHeavy = 180;

bool lf_isParkedInSim(const LiveAc& aircraft) {
  return aircraft.state == AcState::active && aircraft.phase == AcPhase::parked;
}

std::size_t lf_staticParkedCount() {
  return static_cast<std::size_t>(std::count_if(staticAcs.begin(), staticAcs.end(), gf_holdsParkedPlace));
}

// At the parked limit a static aircraft still being created gives way first, since it has not been seen yet; else
// the one parked earliest.
bool lf_givesWayBefore(const StaticAc& a, const StaticAc& b) {
  if (gf_holdsParkedPlace(a) != gf_holdsParkedPlace(b)) {
    return gf_holdsParkedPlace(a);
  }
  const bool aComing = a.state == AcState::adding2sim;
  const bool bComing = b.state == AcState::adding2sim;
  if (aComing != bComing) {
    return aComing;
  }
  return a.parkedSince.weekSlot() < b.parkedSince.weekSlot();
}

void lf_removeEarliestParkedStatic() {
  const auto earliest = std::min_element(staticAcs.begin(), staticAcs.end(), lf_givesWayBefore);
  if (earliest == staticAcs.end() || !gf_holdsParkedPlace(*earliest)) {
    return;
  }
  gf_log(
      fmt::format("{:8}: {} static max park exceeded, removed", gf_standText(earliest->standId), earliest->callsign));
  removeAircraftFromSim(*earliest);
  std::erase_if(staticAcs, [](const StaticAc& aircraft) { return aircraft.removeNow; });
}

}  // namespace

std::vector<LiveParked> liveParkedList;

void lf_checkMaxPark(bool oneMore) {
  const std::int32_t wanted = lf_wantedParkedCount();
  if (wanted < 1) {
    return;
  }
  gf_countLiveParked(true);  // refreshes the average parked time on the main window
  const std::size_t newcomer = oneMore ? 1 : 0;
  // Live aircraft are never pushed out: one that stands at its stand is still reported there and would only come
  // back as soon as there is room. An arrival may take the live ones above the wanted number until one leaves; new
  // ones wait meanwhile (gf_liveParkedFull) and the static ones give way.
  if (lf_staticParkedCount() + gf_liveParkedPlaces() + newcomer > static_cast<std::size_t>(wanted)) {
    lf_removeEarliestParkedStatic();
  }
}

bool gf_liveParkedFull() {
  const std::int32_t wanted = lf_wantedParkedCount();
  return wanted >= 1 && !INITIAL_LOAD_ONLY.value && gf_liveParkedPlaces() >= static_cast<std::size_t>(wanted);
}

bool gf_parkedPlacesFull() {
  return lf_staticParkedCount() + gf_liveParkedPlaces() >=
         static_cast<std::size_t>(std::max(lf_wantedParkedCount(), 0));
}

bool gf_holdsParkedPlace(const StaticAc& aircraft) {
  return (aircraft.state == AcState::active || aircraft.state == AcState::adding2sim) && !aircraft.waitRemove;
}

std::size_t gf_liveParkedPlaces() {
  return static_cast<std::size_t>(std::count_if(liveAcs.begin(), liveAcs.end(), [](const LiveAc& aircraft) {
    return (aircraft.phase == AcPhase::parked || aircraft.phase == AcPhase::parking) && gf_holdsParkedPlace(aircraft);
  }));
}

void gf_listLiveParked() {
  liveParkedList.clear();
  const std::int64_t now = gf_nowIn100ns();
  for (LiveAc& aircraft : liveAcs) {
    if (!lf_isParkedInSim(aircraft)) {
      continue;
    }
    const std::int64_t minutes = aircraft.parkedListed ? 0 : (now - aircraft.parkedAt) / ticksOf100nsPerMinute;
    const std::int64_t limit =
        aircraft.category == AcCategory::Heavy ? longestParkedMinutesHeavy : longestParkedMinutes;
    if (!INITIAL_LOAD_ONLY.value && minutes > limit) {
      gf_log(fmt::format("{:8}: {} parked {} minutes, removed", gf_standText(aircraft.standId), aircraft.callsign,
                         minutes));
      removeAircraftFromSim(aircraft);
      continue;
    }
    liveParkedList.push_back({aircraft.callsign, gf_standText(aircraft.standId), minutes});
  }
  std::stable_sort(liveParkedList.begin(), liveParkedList.end(),
                   [](const LiveParked& a, const LiveParked& b) { return a.minutes < b.minutes; });
}

bool gf_holdsStand(const LiveAc& aircraft) {
  return aircraft.standId != 0 && (aircraft.phase == AcPhase::parking || aircraft.phase == AcPhase::parked ||
                                   aircraft.phase == AcPhase::pushing_back || aircraft.phase == AcPhase::pushed_back);
}

}  // namespace cvl

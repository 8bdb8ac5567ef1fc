#include "engine/live_limit.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "engine/stream_points.h"
#include "engine/tick_count.h"
#include "foundation/settings_catalogue.h"

namespace cvl {
namespace {

// The share of the farthest aircraft's distance from the user by which a newcomer must lie nearer to take its place:
// enough that a user and traffic flying their ways do not swap aircraft at similar distances within minutes, and a
// share rather than miles, so that at an airport an aircraft at the next stand still replaces one across the field.
constexpr double swapShare = 0.2;
// How long an aircraft taken out stays out unless markedly nearer than those shown: long enough that it does not
// blink back into a place that comes free only to be the next to go, short enough that a place left free is filled
// by the traffic still reported.
constexpr std::int32_t holdTicks = 12000;
// How long traffic counts as waiting for a place after the limit last kept a newcomer out: longer than a newcomer
// kept out takes to ask again (its next report falls due half a minute after it came).
constexpr std::int32_t waitingTicks = 12000;

struct TakenOut {
  std::uint32_t hexid = 0;
  std::int32_t at = 0;
  // When the limit last kept it out: it is remembered while its flight keeps asking for a place.
  std::int32_t askedAt = 0;
};

std::vector<TakenOut> takenOut;
// The limit they were taken out at: a new limit judges every aircraft anew.
std::int32_t takenOutAtLimit = 0;
// When a newcomer was last kept out, and at which limit; none yet while the limit is 0.
std::int32_t keptOutAt = 0;
std::int32_t keptOutAtLimit = 0;

// What the limit looked like in a second, for the aircraft that wait for a place and ask once a second each: whether
// places were taken (the limit reached, or traffic waiting for one) and how far the farthest aircraft in the
// simulator or being created lay.
struct PlaceOutlook {
  std::int32_t second = -1;
  bool placesTaken = false;
  bool anyLive = false;
  double farthestNm = 0.0;
};

PlaceOutlook outlook;

std::vector<TakenOut>& lf_takenOut() {
  if (MAX_LIVE_SEL.value != takenOutAtLimit) {
    takenOut.clear();
    takenOutAtLimit = MAX_LIVE_SEL.value;
  }
  std::erase_if(takenOut, [](const TakenOut& each) { return tickCount - std::max(each.at, each.askedAt) > holdTicks; });
  return takenOut;
}

double lf_userDistanceNm(const LatLon& point) {
  return gf_distanceNM(gf_engineUserLatLon(), point);
}

struct Farthest {
  LiveAc* aircraft = nullptr;
  double distanceNm = 0.0;
};

bool lf_isShown(const LiveAc& aircraft) {
  return aircraft.state == AcState::active;
}

// In the simulator or on its way in, and not leaving.
bool lf_staysLive(const LiveAc& aircraft) {
  return (aircraft.state == AcState::active || aircraft.state == AcState::adding2sim) && !aircraft.waitRemove &&
         !aircraft.remove && !aircraft.removeNow;
}

Farthest lf_farthest(bool (*counts)(const LiveAc&)) {
  Farthest farthest;
  for (LiveAc& aircraft : liveAcs) {
    if (!counts(aircraft)) {
      continue;
    }
    const double distance = lf_userDistanceNm(gf_latLonOf(aircraft.simPos));
    if (farthest.aircraft == nullptr || distance > farthest.distanceNm) {
      farthest = {&aircraft, distance};
    }
  }
  return farthest;
}

bool lf_markedlyNearer(const LiveAc& newcomer, double distanceNm) {
  return lf_userDistanceNm(gf_latLonOf(newcomer.stream.front())) < (1.0 - swapShare) * distanceNm;
}

void lf_takeOut(LiveAc& aircraft) {
  lf_takenOut().push_back({aircraft.hexid, tickCount, tickCount});
  removeAircraftFromSim(aircraft);
  aircraft.madeRoom = aircraft.waitRemove;
}

auto lf_entryOf(const LiveAc& aircraft) {
  return [hexid = aircraft.hexid](const TakenOut& each) { return each.hexid == hexid; };
}

TakenOut* lf_takenOutEntry(const LiveAc& newcomer) {
  std::vector<TakenOut>& entries = lf_takenOut();
  const auto entry = std::find_if(entries.begin(), entries.end(), lf_entryOf(newcomer));
  return entry == entries.end() ? nullptr : &*entry;
}

}  // namespace

LiveLimitVerdict gf_judgeByLiveLimit(const LiveAc& newcomer) {
  const bool atLimit = gf_liveLimitReached();
  const TakenOut* takenOutBefore = lf_takenOutEntry(newcomer);
  if (!atLimit && (takenOutBefore == nullptr || tickCount - takenOutBefore->at > holdTicks)) {
    return {};
  }
  // The farthest of the aircraft that stay makes room, a creation as well as one shown: at a busy airport with slow
  // models every place may be held by creations of farther aircraft. One taken out before must lie markedly nearer
  // than the farthest aircraft shown, or it would come back at the edge of what is shown and blink. With none that
  // stays, none can make room at the limit, and a free place is the newcomer's.
  const Farthest live = lf_farthest(lf_staysLive);
  const Farthest shown = takenOutBefore != nullptr ? lf_farthest(lf_isShown) : Farthest{};
  const double measureNm = shown.aircraft != nullptr ? shown.distanceNm : live.distanceNm;
  if (live.aircraft == nullptr ? atLimit : !lf_markedlyNearer(newcomer, measureNm)) {
    return {true, 0};
  }
  return {false, atLimit ? live.aircraft->hexid : 0};
}

bool gf_mayFindPlace(const LiveAc& aircraft) {
  const std::int32_t second = tickCount / ticksPerSecond;
  if (outlook.second != second) {
    const Farthest live = lf_farthest(lf_staysLive);
    outlook = {second, gf_liveLimitReached() || gf_trafficWaitsForPlace(), live.aircraft != nullptr, live.distanceNm};
  }
  return !outlook.placesTaken || !outlook.anyLive || lf_markedlyNearer(aircraft, outlook.farthestNm);
}

bool gf_outranksFarthestLive(const LiveAc& aircraft) {
  const Farthest live = lf_farthest(lf_staysLive);
  return live.aircraft == nullptr || lf_markedlyNearer(aircraft, live.distanceNm);
}

void gf_noteKeptOutByLiveLimit(const LiveAc& newcomer) {
  if (TakenOut* entry = lf_takenOutEntry(newcomer)) {
    entry->askedAt = tickCount;
  }
  // One held back below the limit, after it was taken out, waits for no place.
  if (!gf_liveLimitReached()) {
    return;
  }
  keptOutAt = tickCount;
  keptOutAtLimit = MAX_LIVE_SEL.value;
}

bool gf_trafficWaitsForPlace() {
  return keptOutAtLimit != 0 && keptOutAtLimit == MAX_LIVE_SEL.value && tickCount - keptOutAt <= waitingTicks;
}

// Every aircraft still being created counts, the ones whose creation is already with the simulator too: they are
// about to appear. One taken out while being created does not: it holds no place until the limit admits it again.
bool gf_liveLimitReached() {
  const auto limit = static_cast<std::size_t>(std::max(MAX_LIVE_SEL.value.load(), 0));
  return static_cast<std::size_t>(std::count_if(liveAcs.begin(), liveAcs.end(), lf_staysLive)) >= limit;
}

void gf_admitByLiveLimit(const LiveAc& newcomer, const LiveLimitVerdict& verdict) {
  std::erase_if(lf_takenOut(), lf_entryOf(newcomer));
  if (verdict.makesRoom == 0) {
    return;
  }
  // Something else may have taken it out meanwhile: then its place is free already.
  const auto live = std::find_if(liveAcs.begin(), liveAcs.end(), [&verdict](const LiveAc& aircraft) {
    return aircraft.hexid == verdict.makesRoom && lf_staysLive(aircraft);
  });
  if (live != liveAcs.end()) {
    lf_takeOut(*live);
  }
}

void gf_trimToLiveLimit() {
  const auto limit = std::max(MAX_LIVE_SEL.value.load(), 0);
  for (auto live = std::count_if(liveAcs.begin(), liveAcs.end(), lf_staysLive); live > limit; --live) {
    const Farthest farthest = lf_farthest(lf_staysLive);
    if (farthest.aircraft == nullptr) {
      return;
    }
    lf_takeOut(*farthest.aircraft);
  }
}

void gf_clearLiveLimitMemory() {
  takenOut.clear();
  takenOutAtLimit = 0;
  keptOutAt = 0;
  keptOutAtLimit = 0;
  outlook = {};
}

}  // namespace cvl

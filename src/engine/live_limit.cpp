#include "engine/live_limit.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "engine/engine_state.h"
#include "engine/places_look.h"
#include "engine/slow_creations.h"
#include "engine/tick_count.h"
#include "foundation/settings_catalogue.h"
#include "simlink/send_queues.h"

namespace cvl {
namespace {

// How long an aircraft taken out stays out unless markedly nearer than those shown: long enough that it does not
// blink back into a place that comes free only to be the next to go, short enough that a place left free is filled
// by the traffic still reported.
constexpr std::int32_t holdTicks = 12000;
// How long traffic counts as waiting for a place after the limit last kept a newcomer out: longer than a newcomer
// kept out takes to ask again (its next report falls due half a minute after it came).
constexpr std::int32_t waitingTicks = 12000;

struct TakenOut {
  std::int32_t at = 0;
  // When the limit last kept it out: it is remembered while its flight keeps asking for a place.
  std::int32_t askedAt = 0;
};

// By hexid, at the limit they were taken out at: a new limit judges every aircraft anew.
std::unordered_map<std::uint32_t, TakenOut> takenOut;
std::int32_t takenOutAtLimit = 0;
// When a newcomer was last kept out, and at which limit; none yet while the limit is 0.
std::int32_t keptOutAt = 0;
std::int32_t keptOutAtLimit = 0;

// The places as they stood at the first look of a second, for the flights and creations that wait and ask once a
// second each.
struct LookOfTheSecond {
  std::int32_t second = -1;
  bool atLimit = false;
  bool contested = false;
  bool anyHolder = false;
  bool anyShown = false;
  double farthestHolderNm = 0.0;
  double farthestShownNm = 0.0;
  // Creations of flights whose models may never load under way, with a place or on trial.
  std::size_t mayNeverShowUnderWay = 0;
};

LookOfTheSecond lookOfTheSecond;

std::size_t lf_limit() {
  return static_cast<std::size_t>(std::max(MAX_LIVE_SEL.value.load(), 0));
}

// How many creations of flights whose models may never load may be under way while places are contested.
std::size_t lf_mayNeverShowShare() {
  return std::max<std::size_t>(lf_limit() / 3, 1);
}

bool lf_mayNeverShowUnderWay(const LiveAc& aircraft) {
  return aircraft.state == AcState::adding2sim && aircraft.objectId == 0 && !aircraft.remove && !aircraft.removeNow &&
         gf_modelMayNeverLoad(aircraft.hexid);
}

std::unordered_map<std::uint32_t, TakenOut>& lf_takenOut() {
  if (MAX_LIVE_SEL.value != takenOutAtLimit) {
    takenOut.clear();
    takenOutAtLimit = MAX_LIVE_SEL.value;
  }
  return takenOut;
}

// The entry of an aircraft the limit took out, while its flight keeps asking.
TakenOut* lf_takenOutEntry(std::uint32_t hexid) {
  auto& entries = lf_takenOut();
  const auto entry = entries.find(hexid);
  if (entry == entries.end()) {
    return nullptr;
  }
  if (tickCount - std::max(entry->second.at, entry->second.askedAt) > holdTicks) {
    entries.erase(entry);
    return nullptr;
  }
  return &entry->second;
}

void lf_takeOut(LiveAc& aircraft, bool atOnce) {
  removeAircraftFromSim(aircraft);
  aircraft.withoutPlace = aircraft.waitRemove;
  const auto queued = std::find(removalBacklog.begin(), removalBacklog.end(), aircraft.objectId);
  if (atOnce && aircraft.objectId != 0 && queued != removalBacklog.end()) {
    removalBacklog.erase(queued);
    gf_queueRemoval(aircraft.objectId);
  }
}

bool lf_contested(std::size_t holders) {
  return holders >= lf_limit() || gf_trafficWaitsForPlace();
}

// Whether the aircraft lies markedly nearer than the farthest aircraft shown, for one the limit took out, or than the
// farthest aircraft that holds a place; true with none.
bool lf_nearer(const LiveAc& aircraft, bool takenOutBefore, bool anyHolder, double holderNm, bool anyShown,
               double shownNm) {
  return !anyHolder || gf_markedlyNearer(aircraft, takenOutBefore && anyShown ? shownNm : holderNm);
}

// Whether another flight whose model may never load, waiting in the buffer, could go on trial now, and could do so
// before the aircraft: it has waited after its give-up since earlier, and a place is free or it lies markedly nearer
// than the farthest aircraft.
bool lf_triesFirst(const LiveAc& other, const LiveAc& aircraft, const PlacesLook& look, bool atLimit) {
  const std::int32_t from = gf_waitedAfterGiveUpFrom(other.hexid);
  return from <= tickCount && from < gf_waitedAfterGiveUpFrom(aircraft.hexid) &&
         (!atLimit || look.farthestHolder == nullptr || gf_markedlyNearer(other, look.farthestHolderNm));
}

// Creations of flights whose models may never load, with a place or on trial, number at most a third of the limit
// while places are contested. A place among them goes to the flight that could take one first, so that none waits
// long behind flights that come back to try again and again.
bool lf_roomForCreationThatMayNeverShow(const LiveAc& aircraft, const PlacesLook& look, bool atLimit) {
  std::size_t taken = 0;
  for (const LiveAc& other : liveAcs) {
    const bool underWay = other.state == AcState::adding2sim && other.objectId == 0;
    const bool waits = other.state == AcState::buffer && &other != &aircraft;
    if ((!underWay && !waits) || other.remove || other.removeNow || !gf_modelMayNeverLoad(other.hexid)) {
      continue;
    }
    taken += underWay || lf_triesFirst(other, aircraft, look, atLimit) ? 1 : 0;
  }
  return taken < lf_mayNeverShowShare();
}

PlaceVerdict lf_verdict(PlaceVerdict::Outcome outcome, std::uint32_t makesRoom = 0, bool atOnce = false) {
  return {outcome, makesRoom, atOnce};
}

}  // namespace

// The flights and creations that wait ask once a second each: most of them are kept out at the look of that second
// already, where places were contested and they lay not markedly nearer than the farthest aircraft, or, for a flight
// whose model may never load, it had not waited after its give-up or such creations filled their share (one that may
// go on trial goes below the limit whatever its distance).
bool gf_keptOutThisSecond(const LiveAc& aircraft, PlaceClaim claim) {
  const std::int32_t second = tickCount / ticksPerSecond;
  LookOfTheSecond& look = lookOfTheSecond;
  if (look.second != second) {
    const PlacesLook now = gf_lookAtPlaces();
    look = {second,
            now.holders >= lf_limit(),
            lf_contested(now.holders),
            now.farthestHolder != nullptr,
            now.anyShown,
            now.farthestHolderNm,
            now.farthestShownNm,
            static_cast<std::size_t>(std::count_if(liveAcs.begin(), liveAcs.end(), lf_mayNeverShowUnderWay))};
  }
  if (!look.contested) {
    return false;
  }
  if (claim == PlaceClaim::mayNeverLoad) {
    if (!gf_waitedAfterGiveUp(aircraft.hexid) || look.mayNeverShowUnderWay >= lf_mayNeverShowShare()) {
      return true;
    }
    if (!look.atLimit) {
      return false;
    }
  }
  return !lf_nearer(aircraft, lf_takenOutEntry(aircraft.hexid) != nullptr, look.anyHolder, look.farthestHolderNm,
                    look.anyShown, look.farthestShownNm);
}

PlaceVerdict gf_decidePlace(const LiveAc& aircraft, PlaceClaim claim) {
  using Outcome = PlaceVerdict::Outcome;
  const bool waitsAndAsks = claim == PlaceClaim::mayNeverLoad || claim == PlaceClaim::withoutPlace;
  if (waitsAndAsks && gf_keptOutThisSecond(aircraft, claim)) {
    return {};
  }
  const PlacesLook look = gf_lookAtPlaces();
  const bool atLimit = look.holders >= lf_limit();
  const TakenOut* takenOutBefore = lf_takenOutEntry(aircraft.hexid);
  const bool nearer = lf_nearer(aircraft, takenOutBefore != nullptr, look.farthestHolder != nullptr,
                                look.farthestHolderNm, look.anyShown, look.farthestShownNm);
  if (claim == PlaceClaim::mayNeverLoad && lf_contested(look.holders)) {
    const bool mayTry = gf_waitedAfterGiveUp(aircraft.hexid) && (nearer || !atLimit);
    return mayTry && lf_roomForCreationThatMayNeverShow(aircraft, look, atLimit) ? lf_verdict(Outcome::onTrial)
                                                                                 : PlaceVerdict{};
  }
  if (!atLimit) {
    const bool heldBack = takenOutBefore != nullptr && tickCount - takenOutBefore->at <= holdTicks;
    const bool waitedFor = waitsAndAsks && gf_trafficWaitsForPlace();
    return (heldBack || waitedFor) && !nearer ? PlaceVerdict{} : lf_verdict(Outcome::freePlace);
  }
  if (look.farthestHolder == nullptr || !nearer) {
    return {};
  }
  return lf_verdict(Outcome::replaces, look.farthestHolder->hexid, claim == PlaceClaim::objectShown);
}

void gf_admitToPlace(LiveAc& aircraft, const PlaceVerdict& verdict) {
  if (verdict.outcome == PlaceVerdict::Outcome::onTrial) {
    aircraft.waitRemove = true;
    aircraft.withoutPlace = true;
    return;
  }
  lf_takenOut().erase(aircraft.hexid);
  if (verdict.outcome != PlaceVerdict::Outcome::replaces) {
    return;
  }
  // Something else may have taken it out meanwhile: then its place is free already.
  const auto holder = std::find_if(liveAcs.begin(), liveAcs.end(), [&verdict](const LiveAc& each) {
    return each.hexid == verdict.makesRoom && gf_holdsPlace(each);
  });
  if (holder != liveAcs.end()) {
    lf_takenOut()[holder->hexid] = {tickCount, tickCount};
    lf_takeOut(*holder, verdict.makesRoomAtOnce);
  }
}

void gf_noteKeptOut(const LiveAc& newcomer) {
  if (TakenOut* entry = lf_takenOutEntry(newcomer.hexid)) {
    entry->askedAt = tickCount;
  }
  // One held back below the limit, after it was taken out, waits for no place.
  const auto holders = std::count_if(liveAcs.begin(), liveAcs.end(), gf_holdsPlace);
  if (static_cast<std::size_t>(holders) < lf_limit()) {
    return;
  }
  keptOutAt = tickCount;
  keptOutAtLimit = MAX_LIVE_SEL.value;
}

bool gf_trafficWaitsForPlace() {
  return keptOutAtLimit != 0 && keptOutAtLimit == MAX_LIVE_SEL.value && tickCount - keptOutAt <= waitingTicks;
}

void gf_trimToLiveLimit() {
  // The flights the trim takes out will ask again: traffic then waits, and creations that may never show have no
  // claim to a place while it does. They go on trial first, however near, and the farthest aircraft after them.
  std::vector<LiveAc*> holders = gf_holdersFarthestFirst();
  std::stable_partition(holders.begin(), holders.end(),
                        [](const LiveAc* holder) { return lf_mayNeverShowUnderWay(*holder); });
  for (std::size_t index = 0; index + lf_limit() < holders.size(); ++index) {
    lf_takeOut(*holders[index], false);
  }
}

void gf_clearLiveLimitMemory() {
  takenOut.clear();
  takenOutAtLimit = 0;
  keptOutAt = 0;
  keptOutAtLimit = 0;
  lookOfTheSecond = {};
}

}  // namespace cvl

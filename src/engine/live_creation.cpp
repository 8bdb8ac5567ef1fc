#include "engine/live_creation.h"

#include <fmt/format.h>

#include <algorithm>
#include <string>
#include <unordered_map>

#include "engine/ac_labels.h"
#include "engine/aircraft_lists.h"
#include "engine/create_backlogs.h"
#include "engine/engine_state.h"
#include "engine/live_ac_lookup.h"
#include "engine/live_limit.h"
#include "engine/spawning.h"
#include "engine/stream_dry.h"
#include "engine/stream_points.h"
#include "engine/tick_count.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "foundation/throttled_log.h"
#include "simlink/send_queues.h"

namespace cvl {
namespace {

// Ticks the simulator has at first to show a created aircraft. A model may take longer to load (a first flight with
// many new liveries, a slow disk): an aircraft whose creation was given up gets twice as long for each later one, up
// to four times as long, while its late object may still show and be taken. Traffic waiting for its place or callsign
// cuts a longer wait back to the first.
constexpr std::int32_t firstShowTicks = 6000;
constexpr std::int32_t longestShowTicks = 4 * firstShowTicks;
// How long an aircraft gone from the records is still known for its slow creations.
constexpr std::int32_t forgetTicks = 12000;

// An aircraft whose creation was given up, with the time allowed for its next one.
struct SlowCreation {
  std::int32_t showTicks = firstShowTicks;
  std::int32_t givenUpAt = 0;
  // It has been shown since, with the object of a later creation or of the one given up.
  bool shownSince = false;
  // An object of its creations showed since the give-up, taken or not: its model is slow, not missing.
  bool objectShown = false;
};

// By hexid: every buffer step and every judgement at the limit asks.
std::unordered_map<std::uint32_t, SlowCreation> slowCreations;

bool lf_waitsForObject(const LiveAc& aircraft) {
  return aircraft.state == AcState::adding2sim && aircraft.objectId == 0 && !aircraft.remove && !aircraft.removeNow;
}

SlowCreation* lf_slowCreationOf(std::uint32_t hexid) {
  const auto slow = slowCreations.find(hexid);
  return slow == slowCreations.end() ? nullptr : &slow->second;
}

std::int32_t lf_showTicksFor(std::uint32_t hexid) {
  const SlowCreation* slow = lf_slowCreationOf(hexid);
  return slow == nullptr ? firstShowTicks : slow->showTicks;
}

SlowCreation* lf_givenUpNotShown(std::uint32_t hexid) {
  SlowCreation* slow = lf_slowCreationOf(hexid);
  return slow != nullptr && !slow->shownSince ? slow : nullptr;
}

SlowCreation* lf_mayNeverLoad(std::uint32_t hexid) {
  SlowCreation* slow = lf_givenUpNotShown(hexid);
  return slow != nullptr && !slow->objectShown ? slow : nullptr;
}

// The list keeps only aircraft still reported, or given up of late.
void lf_noteGivenUp(std::uint32_t hexid) {
  std::erase_if(slowCreations, [](const auto& each) {
    return tickCount - each.second.givenUpAt > forgetTicks && gf_findLiveAcByHexid(each.first) == nullptr;
  });
  SlowCreation& slow = slowCreations[hexid];
  slow.showTicks = std::min(2 * slow.showTicks, longestShowTicks);
  slow.givenUpAt = tickCount;
  slow.shownSince = false;
  slow.objectShown = false;
}

// How long an aircraft whose creation was given up waits for a free place before it may take a markedly farther
// aircraft's place: a minute after its first give-up, since the simulator may only have lost that creation, six after
// a later one. While others wait for its place its next creation has the first minute to show, so a model that never
// loads holds a place they wait for a minute in seven at most, once its second creation has been given up.
std::int32_t lf_freePlaceWaitTicks(const SlowCreation& slow) {
  return slow.showTicks < longestShowTicks ? firstShowTicks : 6 * firstShowTicks;
}

// Aircraft that wait are looked at once a second, each at its own tick of the second, so that no single tick pays for
// all of them.
bool lf_isLookTick(std::uint32_t hexid) {
  return tickCount.load() % ticksPerSecond == static_cast<std::int32_t>(hexid % ticksPerSecond);
}

// Another record under the aircraft's callsign that the predicate counts waits in the buffer to be created. The
// state is asked first: few records wait in the buffer, and it spares comparing the callsigns of the others.
template <class Counts>
bool lf_callsignWaitedFor(const LiveAc& aircraft, Counts counts) {
  return std::any_of(liveAcs.begin(), liveAcs.end(), [&aircraft, &counts](const LiveAc& other) {
    return other.state == AcState::buffer && &other != &aircraft && !other.remove && !other.removeNow &&
           other.callsign == aircraft.callsign && counts(other);
  });
}

bool lf_anyRecord(const LiveAc& /*record*/) {
  return true;
}

// Traffic waiting for a place is known at once; the records are searched for the callsign once a second.
bool lf_othersWaitFor(const LiveAc& aircraft) {
  return gf_trafficWaitsForPlace() || (lf_isLookTick(aircraft.hexid) && lf_callsignWaitedFor(aircraft, lf_anyRecord));
}

// The aircraft waits in the buffer again from the report due now, so that it is created again where it flies now,
// with its livery and stand: one parked at its stand stands on there, as it would in the simulator. One with no
// later report to fly to goes, as does one whose removal was asked for.
void lf_backToBuffer(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  gf_dropPassedEntries(aircraft);
  aircraft.handedOverAt.reset();
  if (aircraft.phase == AcPhase::parked && stream.size() == 1) {
    lf_makeUpPosition(aircraft, 1);
  }
  if (stream.size() < 2 || aircraft.waitRemove) {
    aircraft.remove = true;
    return;
  }
  aircraft.state = AcState::buffer;
}

// Whether a creation taken out may still become its flight's: the flight has a later report to fly to (one parked
// stands on, as in the buffer) within the range, where a creation may be handed over.
bool lf_flightGoesOnInRange(const LiveAc& aircraft) {
  return (aircraft.stream.size() >= 2 || aircraft.phase == AcPhase::parked) &&
         !gf_atRangeEdge(gf_latLonOf(aircraft.stream.front()));
}

// The aircraft takes the place the limit gives it, to be shown where it flies now.
void lf_admitWhereItFliesNow(LiveAc& aircraft, const LiveLimitVerdict& verdict) {
  gf_dropPassedEntries(aircraft);
  lf_initSimPosition(aircraft);
  aircraft.state = AcState::adding2sim;
  aircraft.waitRemove = false;
  aircraft.madeRoom = false;
  gf_admitByLiveLimit(aircraft, verdict);
}

// Whether an aircraft whose creation may never show (one given up, or one taken out while being created) may take the
// place the limit gives it as a newcomer. While other traffic waits for a place, only if it lies markedly nearer than
// the farthest aircraft in the simulator or being created, free place or not: otherwise the flights waiting have the
// better claim to it.
bool lf_placeForDoubtfulCreation(const LiveAc& aircraft, const LiveLimitVerdict& verdict) {
  return !verdict.keptOut && (!gf_trafficWaitsForPlace() || gf_outranksFarthestLive(aircraft));
}

// Where the limit admits the flight, its creation counts again as one handed over now: one the simulator has lost is
// given up at its time to show like any other.
void lf_takeBackInWhereAdmitted(LiveAc& aircraft) {
  if (!gf_mayFindPlace(aircraft)) {
    return;
  }
  const LiveLimitVerdict verdict = gf_judgeByLiveLimit(aircraft);
  if (lf_placeForDoubtfulCreation(aircraft, verdict)) {
    lf_admitWhereItFliesNow(aircraft, verdict);
    aircraft.handedOverAt = tickCount;
  }
}

// A creation taken out while still being created, for a nearer newcomer or a lowered Max live, holds no place and is
// no model's fault: it waits for its object, so that a slow model is not loaded twice, keeping its stream to where
// the flight is now. It is taken back in where the limit admits its flight. It goes once its flight has no later
// report to fly to or lies at the edge of the range or beyond, or after the first minute when another flight waits
// for its callsign.
void lf_waitAfterTakeOut(LiveAc& aircraft, std::int32_t waited) {
  if (!lf_isLookTick(aircraft.hexid)) {
    return;
  }
  gf_dropPassedEntries(aircraft);
  if (lf_flightGoesOnInRange(aircraft) && (waited < firstShowTicks || !lf_callsignWaitedFor(aircraft, lf_anyRecord))) {
    lf_takeBackInWhereAdmitted(aircraft);
    return;
  }
  gf_logIndented(fmt::format("{} taken out while being created, not shown in the simulator within {} s, withdrawn",
                             gf_acLabel(aircraft), waited / ticksPerSecond));
  aircraft.handedOverAt.reset();
  aircraft.remove = true;
}

// A sender can report ever new hexids at the edge of the range.
void lf_logBeyondRange(const std::string& callsign) {
  static ThrottledLog limit{"Live creation", "range-edge notice", gf_tickTime};
  if (limit.admit()) {
    gf_logIndented(fmt::format("{:8} lies at the edge of the range or beyond, not created", callsign));
  }
}

void lf_dropBeyondRange(const CreateRequest& request) {
  lf_logBeyondRange(request.callsign);
  if (LiveAc* aircraft = gf_findLiveAcByHexid(request.hexid); aircraft != nullptr && lf_waitsForObject(*aircraft)) {
    aircraft->removeNow = true;
  }
}

}  // namespace

bool gf_waitsAtRangeEdge(LiveAc& aircraft) {
  if (!gf_atRangeEdge(gf_latLonOf(aircraft.stream.front()))) {
    return false;
  }
  if (!aircraft.rangeEdgeLogged) {
    lf_logBeyondRange(aircraft.callsign);
    aircraft.rangeEdgeLogged = true;
  }
  aircraft.stream.pop_front();
  return true;
}

bool gf_handOverLiveCreation() {
  while (!liveCreateBacklog.empty()) {
    const CreateRequest request = std::move(liveCreateBacklog.front());
    liveCreateBacklog.pop_front();
    if (gf_atRangeEdge({request.initPosition.latitude, request.initPosition.longitude})) {
      lf_dropBeyondRange(request);
      continue;
    }
    gf_queueCreateRequest(request);
    if (LiveAc* aircraft = gf_findLiveAcByHexid(request.hexid); aircraft != nullptr && lf_waitsForObject(*aircraft)) {
      aircraft->handedOverAt = tickCount;
    }
    return true;
  }
  return false;
}

void gf_checkShowDeadline(LiveAc& aircraft) {
  if (!aircraft.handedOverAt || !lf_waitsForObject(aircraft)) {
    return;
  }
  const std::int32_t waited = tickCount - *aircraft.handedOverAt;
  if (aircraft.madeRoom) {
    lf_waitAfterTakeOut(aircraft, waited);
    return;
  }
  const bool pastItsTime = waited >= lf_showTicksFor(aircraft.hexid);
  if (!pastItsTime && (waited < firstShowTicks || !lf_othersWaitFor(aircraft))) {
    return;
  }
  gf_logIndented(fmt::format("{} did not show in the simulator within {} s, given up", gf_acLabel(aircraft),
                             waited / ticksPerSecond));
  // A creation whose removal was asked for tells nothing of its model.
  if (!aircraft.waitRemove) {
    lf_noteGivenUp(aircraft.hexid);
  }
  lf_backToBuffer(aircraft);
}

bool gf_modelMayNeverLoad(std::uint32_t hexid) {
  return lf_mayNeverLoad(hexid) != nullptr;
}

// It takes only a free place that no other traffic waits for, for a while: from then on also one where it lies
// markedly nearer than the farthest aircraft. Of two aircraft under one callsign whose creations were given up, the one
// given up first has its turn first. Each look searches the records, and a place or callsign comes free for it rarely:
// it is looked at once a second.
bool gf_waitsAfterGiveUp(LiveAc& aircraft) {
  SlowCreation* own = lf_mayNeverLoad(aircraft.hexid);
  if (own == nullptr) {
    return false;
  }
  if (!lf_isLookTick(aircraft.hexid)) {
    return true;
  }
  gf_dropPassedEntries(aircraft);
  // Its reports have passed meanwhile: it has nothing left to be created at, as one with a single report.
  if (aircraft.stream.size() < 2) {
    aircraft.remove = true;
    return true;
  }
  if (!gf_mayFindPlace(aircraft) || lf_callsignWaitedFor(aircraft, [own](const LiveAc& other) {
        const SlowCreation* theirs = lf_mayNeverLoad(other.hexid);
        return theirs == nullptr || theirs->givenUpAt < own->givenUpAt;
      })) {
    return true;
  }
  // The buffer step judges it at the limit as it judges every newcomer.
  if (!gf_trafficWaitsForPlace() && !gf_liveLimitReached()) {
    return false;
  }
  const bool waitedItsTime = tickCount - own->givenUpAt >= lf_freePlaceWaitTicks(*own);
  return !waitedItsTime || !lf_placeForDoubtfulCreation(aircraft, gf_judgeByLiveLimit(aircraft));
}

void gf_dropPassedEntries(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  while (stream.size() > 1 && stream[1].dueTick <= tickCount) {
    stream.pop_front();
  }
}

LiveAc* gf_takerOfCreatedObject(const SimResult& created) {
  LiveAc* aircraft = gf_findLiveAcByHexid(created.hexid);
  if (aircraft == nullptr) {
    return nullptr;
  }
  if (lf_waitsForObject(*aircraft) && !aircraft->waitRemove) {
    return aircraft;
  }
  const bool waitsAfterGiveUp = aircraft->state == AcState::buffer && aircraft->phase != AcPhase::birth &&
                                !aircraft->remove && !aircraft->removeNow && lf_givenUpNotShown(aircraft->hexid);
  const bool madeRoom = lf_waitsForObject(*aircraft) && aircraft->madeRoom;
  return (waitsAfterGiveUp || madeRoom) && !gf_judgeByLiveLimit(*aircraft).keptOut ? aircraft : nullptr;
}

// One waiting in the buffer, or one taken out while being created, is shown where it flies now, in the place the
// limit gives it.
void gf_takeCreatedObject(LiveAc& aircraft) {
  aircraft.handedOverAt.reset();
  if (aircraft.state == AcState::buffer || aircraft.madeRoom) {
    lf_admitWhereItFliesNow(aircraft, gf_judgeByLiveLimit(aircraft));
  }
  if (SlowCreation* slow = lf_slowCreationOf(aircraft.hexid)) {
    slow->shownSince = true;
    slow->objectShown = true;
  }
}

void gf_removeUnwantedObject(const SimResult& created) {
  // The creation of one whose removal was asked for is over: its object goes at once, with its record.
  if (LiveAc* aircraft = gf_findLiveAcByHexid(created.hexid);
      aircraft != nullptr && lf_waitsForObject(*aircraft) && aircraft->waitRemove) {
    aircraft->handedOverAt.reset();
    aircraft->remove = true;
  }
  if (created.objectId < firstAiObjectId) {
    return;
  }
  gf_logIndented(fmt::format("object {} shown for hexid {} with no aircraft waiting for it, removed",
                             gf_toHex(created.objectId), created.hexid));
  // Its model loads, if slowly: a later creation of the aircraft is judged as any newcomer's.
  if (SlowCreation* slow = lf_slowCreationOf(created.hexid)) {
    slow->objectShown = true;
  }
  // Not at the removal backlog's pace: objects of one model may show together once it loads, each beyond the limit.
  gf_queueRemoval(created.objectId);
}

void gf_creationBackToWait(LiveAc& aircraft) {
  if (lf_waitsForObject(aircraft)) {
    lf_backToBuffer(aircraft);
  }
}

void gf_clearSlowCreations() {
  slowCreations.clear();
}

}  // namespace cvl

#include <fmt/format.h>

#include "engine/creation_steps.h"
#include "engine/live_ac_lookup.h"
#include "engine/live_creation.h"
#include "engine/live_limit.h"
#include "engine/slow_creations.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "simlink/send_queues.h"
#include "simlink/sim_ids.h"

namespace cvl {
namespace {

bool lf_waitsAfterGiveUp(const LiveAc& aircraft) {
  return aircraft.state == AcState::buffer && aircraft.phase != AcPhase::birth && !aircraft.remove &&
         !aircraft.removeNow && gf_givenUpNotShown(aircraft.hexid);
}

}  // namespace

LiveAc* gf_takeCreatedObject(const SimResult& created) {
  LiveAc* aircraft = gf_findLiveAcByHexid(created.hexid);
  if (aircraft == nullptr) {
    return nullptr;
  }
  if (gf_beingCreated(*aircraft) && !aircraft->waitRemove) {
    aircraft->handedOverAt.reset();
    gf_noteShown(aircraft->hexid);
    return aircraft;
  }
  if (!gf_holdsNoPlace(*aircraft) && !lf_waitsAfterGiveUp(*aircraft)) {
    return nullptr;
  }
  // It is shown where it flies now, in the place the limit gives it.
  gf_dropPassedEntries(*aircraft);
  const PlaceVerdict verdict = gf_decidePlace(*aircraft, PlaceClaim::objectShown);
  if (verdict.keptOut()) {
    return nullptr;
  }
  aircraft->handedOverAt.reset();
  gf_admitWhereItFliesNow(*aircraft, verdict);
  gf_noteShown(aircraft->hexid);
  return aircraft;
}

void gf_removeUnwantedObject(const SimResult& created) {
  // The creation of one that holds no place, or whose removal was asked for, is over: its object goes at once, with
  // its record.
  if (LiveAc* aircraft = gf_findLiveAcByHexid(created.hexid);
      aircraft != nullptr && gf_beingCreated(*aircraft) && aircraft->waitRemove) {
    aircraft->handedOverAt.reset();
    aircraft->remove = true;
  }
  if (created.objectId < firstAiObjectId) {
    return;
  }
  gf_logIndented(fmt::format("object {} shown for hexid {} with no aircraft waiting for it, removed",
                             gf_toHex(created.objectId), created.hexid));
  // Its model loads, if slowly: a later creation of the aircraft is judged as any newcomer's.
  gf_noteObjectShown(created.hexid);
  // Not at the removal backlog's pace: objects of one model may show together once it loads, each beyond the limit.
  gf_queueRemoval(created.objectId);
}

}  // namespace cvl

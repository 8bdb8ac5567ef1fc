#include "engine/traffic_state.h"

#include <algorithm>
#include <mutex>

#include "app/main_window.h"
#include "app/run_loop.h"
#include "engine/aircraft_lists.h"
#include "engine/conflict_rules.h"
#include "engine/create_backlogs.h"
#include "engine/creation_steps.h"
#include "engine/engine_clock.h"
#include "engine/engine_state.h"
#include "engine/feed_time.h"
#include "engine/live_limit.h"
#include "engine/live_parked.h"
#include "engine/no_match_set.h"
#include "engine/remembered_titles.h"
#include "engine/simulator_room.h"
#include "engine/slow_creations.h"
#include "engine/tick_count.h"
#include "parking/current_park_airport.h"
#include "parking/park_pos.h"
#include "parking/parked_entries.h"
#include "simlink/sim_results.h"
#include "trafficin/traffic_queue.h"

namespace cvl {

void gf_initTrafficContainers() {
  liveParkedList.reserve(64);
  liveAcs.reserve(512);
  staticAcs.reserve(256);
  parkPositions.reserve(512);
  createdObjects.reserve(128);
  addingStack.reserve(64);
  parkedEntries.reserve(256);
}

void gf_resetTrafficState() {
  currentParkAirport = {};
  mainWindow.liveCount = 0;
  mainWindow.liveParkedCount = 0;
  mainWindow.staticParkedCount = 0;
  gf_invalidateBand(rcHeader);
  gf_invalidateBand(rcStaticParking);
  gf_takeSimResults();
  createdObjects.clear();
  parkedEntries.clear();
  gf_clearRememberedTitles();
  gf_forgetNoMatches();
  ghostCallsigns.clear();
  liveParkedList.clear();
  addingStack.clear();
  liveCreateBacklog = {};
  gf_clearSlowCreations();
  gf_clearLiveLimitMemory();
  gf_forgetCallsignsOfTheSecond();
  gf_clearSimulatorRoom();
  staticCreateBacklog = {};
  removalBacklog = {};
  sameRegCheckQueue.clear();
  {
    // Items left from the old cycle fall due by its clock, which starts again at 0.
    const std::lock_guard lock{trafficQueueMutex};
    trafficQueue.clear();
  }
  staticAcs.clear();
  liveAcs.clear();
  parkPositions.clear();
  selectedObjectId = 0;
  engineUserPosition = {};
  tickCount = 0;
  weekTimeNow = 0;
  gf_resetFeedTime();
}

// The engine keeps no day map and no shared texts yet.
void gf_clearDayMap() {}

void gf_clearSharedTexts() {}

void lf_collectParkedSeconds(std::vector<ParkedSeconds>& parked) {
  parked.clear();
  const std::int64_t now = gf_nowIn100ns();
  for (const LiveAc& aircraft : liveAcs) {
    if (aircraft.state == AcState::active && aircraft.phase == AcPhase::parked) {
      parked.push_back({aircraft.hexid, gf_secondsBetween(aircraft.parkedAt, now)});
    }
  }
  std::stable_sort(parked.begin(), parked.end(),
                   [](const ParkedSeconds& a, const ParkedSeconds& b) { return a.seconds > b.seconds; });
}

}  // namespace cvl

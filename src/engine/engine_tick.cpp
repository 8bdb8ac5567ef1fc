#include "engine/engine_tick.h"

#include <fmt/format.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <mutex>
#include <utility>
#include <vector>

#include "engine/ac_labels.h"
#include "engine/aircraft_lists.h"
#include "engine/aircraft_update.h"
#include "engine/create_backlogs.h"
#include "engine/engine_state.h"
#include "engine/incoming_traffic.h"
#include "engine/live_ac_lookup.h"
#include "engine/live_creation.h"
#include "engine/live_limit.h"
#include "engine/sim_calls.h"
#include "engine/sim_result_handling.h"
#include "engine/simulator_room.h"
#include "engine/tick_count.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "parking/parked_entries.h"
#include "parking/static_creation.h"
#include "simlink/dispatch.h"
#include "simlink/request_error.h"
#include "simlink/send_queues.h"
#include "simlink/sim_ids.h"
#include "simlink/user_aircraft.h"
#include "trafficin/realtraffic_link.h"
#include "trafficin/traffic_queue.h"

namespace cvl {
namespace {

// Two traffic items are applied per tick while the queue is short. A longer queue is worked off within drainTicks (a
// second), so that a busy feed or a burst of reports never holds the reports behind it back until they are due.
constexpr std::size_t itemsPerTick = 2;
constexpr std::size_t drainTicks = 100;
// Below this frame rate a tick whose positions cannot be handed over at once drops them rather than wait.
constexpr float waitingFrameRate = 50.0F;

std::atomic<bool> liveLimitRequested{false};

// The items leave the queue under its lock and are applied after it, so the reader is not held up and an item that
// fails to apply is already out of the queue.
void lf_applyQueuedItems() {
  std::vector<TrafficItem> items;
  {
    const std::lock_guard lock{trafficQueueMutex};
    const std::size_t count = std::max(itemsPerTick, (trafficQueue.size() + drainTicks - 1) / drainTicks);
    while (items.size() < count && !trafficQueue.empty()) {
      items.push_back(std::move(trafficQueue.front()));
      trafficQueue.pop_front();
    }
  }
  for (TrafficItem& item : items) {
    try {
      lf_applyIncomingItem(item);
    } catch (const std::exception& e) {
      gf_logFlagged(fmt::format("{} exception {}", "lf_applyIncomingItem", e.what()));
    }
  }
}

// The last spawned aircraft becomes a creation request. One without a callsign cannot be found in the simulator
// afterwards, so it is never created and its record goes.
void lf_prepareCreation() {
  if (addingStack.empty()) {
    return;
  }
  const std::uint32_t hexid = addingStack.back();
  addingStack.pop_back();
  LiveAc* aircraft = gf_findLiveAcByHexid(hexid);
  if (aircraft == nullptr) {
    return;
  }
  if (aircraft->callsign.empty()) {
    gf_logFlagged(fmt::format("{} {} objectid = 0?", "lf_handleAddingStack", gf_acLabel(*aircraft)));
    aircraft->remove = true;
    return;
  }
  gf_queueLiveCreation(*aircraft);
}

void lf_serveLiveLimit() {
  if (liveLimitRequested.exchange(false)) {
    gf_trimToLiveLimit();
  }
}

void lf_exchangePositions() {
  std::unique_lock lock{simConnectMutex, std::try_to_lock};
  if (!lock.owns_lock()) {
    if (frameRate.load() <= waitingFrameRate) {
      simSendQueues.fillPositions->clear();
      return;
    }
    lock.lock();
  }
  simSendQueues.exchangePositions();
}

}  // namespace

void lf_handleAddingStack() {
  gf_handleSimResults();
  lf_updateAllLiveAc();
  lf_feedSimQueues();
  lf_applyQueuedItems();
  lf_prepareCreation();
  lf_serveLiveLimit();
  lf_requestAcWithinRange();
  ++tickCount;
}

void lf_updateAllLiveAc() {
  bool anyRemoved = false;
  for (std::size_t i = 0; i < liveAcs.size(); ++i) {
    anyRemoved = updateLiveAc(liveAcs[i]) || anyRemoved;
  }
  if (anyRemoved) {
    std::erase_if(liveAcs, [](const LiveAc& aircraft) { return aircraft.remove || aircraft.removeNow; });
  }
  lf_exchangePositions();
}

void lf_feedSimQueues() {
  const std::int32_t tick = tickCount.load();
  if (tick % 10 == 0 && !removalBacklog.empty()) {
    gf_queueRemoval(removalBacklog.front());
    removalBacklog.pop_front();
  }
  if (tick % 50 != 0 || gf_simulatorFull()) {
    return;
  }
  if (gf_handOverLiveCreation()) {
    return;
  }
  if (!staticCreateBacklog.empty()) {
    gf_queueCreateRequest(staticCreateBacklog.front());
    staticCreateBacklog.pop_front();
  }
  if (!parkedEntries.empty()) {
    lf_detcs();
  }
}

void lf_requestAcWithinRange() {
  const std::int32_t tick = tickCount.load();
  if (tick % 20 == 0) {
    const auto radius = static_cast<std::uint32_t>(std::max(rangeMetres.load(), 0));
    if (gf_simCallFailed([radius](HANDLE handle) {
          return SimConnect_RequestDataOnSimObjectType(handle, REQ_AC_IN_RANGE, DEF_AC_IN_RANGE, radius,
                                                       SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT);
        })) {
      gf_logFlagged("SimConnect request ac within range fails");
      gf_onSimConnectRequestError();
    }
  }
  if (tick % 100 == 0) {
    gf_sendUserPosition();
    engineUserPosition = gf_requestUserAcPosition();
  }
}

void gf_requestLiveLimit() {
  liveLimitRequested = true;
}

}  // namespace cvl

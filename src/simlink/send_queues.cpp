#include "simlink/send_queues.h"

#include <fmt/format.h>

#include <mutex>

#include "app/status_line.h"
#include "simlink/ai_objects.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"
#include "simlink/user_aircraft.h"

namespace cvl {

SimSendQueues simSendQueues;

namespace {

constexpr std::size_t queueRoom = 256;

void lf_sendPositions() {
  const std::uint32_t userId = userObjectId;
  for (const auto& position : *simSendQueues.sendPositions) {
    if (position.objectId > userId) {
      SimConnect_SetDataOnSimObject(hSimConnect, DEF_AI_POSITION, position.objectId, 0, 0, positionBlockBytes,
                                    &position);
    }
  }
  simSendQueues.sendPositions->clear();
}

// The simulator's AI takes control back with a flaps change: it is released before and again after it.
void lf_sendClientEvents() {
  for (const auto& [objectId, event, value] : simSendQueues.clientEvents) {
    if (event == FLAPS_SET) {
      SimConnect_AIReleaseControl(hSimConnect, objectId, REQ_RELEASE_CONTROL);
    }
    if (FAILED(SimConnect_TransmitClientEvent(hSimConnect, objectId, event, value, GROUP_AI_EVENTS, 0))) {
      gf_setStatusLine(fmt::format("SimConnect TransmitClientEvent: {} fails", event), true);
    } else if (event == FLAPS_SET) {
      SimConnect_AIReleaseControl(hSimConnect, objectId, REQ_RELEASE_CONTROL);
    }
  }
  simSendQueues.clientEvents.clear();
}

void lf_sendCreations() {
  for (const auto& request : simSendQueues.creations) {
    lf_createAcInSim(request);
  }
  simSendQueues.creations.clear();
}

void lf_sendRemovals() {
  for (const auto objectId : simSendQueues.removals) {
    lf_removeAcFromSim(objectId);
  }
  simSendQueues.removals.clear();
}

void lf_dropQueued() {
  simSendQueues.sendPositions->clear();
  simSendQueues.clientEvents.clear();
  simSendQueues.creations.clear();
  simSendQueues.removals.clear();
}

}  // namespace

void SimSendQueues::exchangePositions() {
  std::swap(fillPositions, sendPositions);
  fillPositions->clear();
}

void gf_queueCreateRequest(const CreateRequest& request) {
  const std::lock_guard lock{simConnectMutex};
  simSendQueues.creations.push_back(request);
}

void gf_queueRemoval(std::uint32_t objectId) {
  const std::lock_guard lock{simConnectMutex};
  simSendQueues.removals.push_back(objectId);
}

void lf_onFrame() {
  // The frame never waits for the engine: a frame in which the engine holds the lock is skipped.
  const std::unique_lock lock{simConnectMutex, std::try_to_lock};
  if (!lock.owns_lock()) {
    return;
  }
  if (simConnectFailed) {
    lf_dropQueued();
    return;
  }
  lf_sendPositions();
  lf_sendClientEvents();
  lf_sendCreations();
  lf_sendRemovals();
}

void gf_resetSimConnectQueues() {
  gf_joinSimClientThread();
  {
    const std::lock_guard lock{simConnectMutex};
    for (auto& positions : simSendQueues.positions) {
      positions.reserve(queueRoom);
    }
    simSendQueues.creations.reserve(queueRoom);
    simSendQueues.removals.reserve(queueRoom);
  }
  gf_reserveAiObjectLists(queueRoom);
  simConnectFailed = false;
}

void gf_clearSendQueues() {
  const std::lock_guard lock{simConnectMutex};
  for (auto& positions : simSendQueues.positions) {
    positions.clear();
  }
  simSendQueues.fillPositions = &simSendQueues.positions[0];
  simSendQueues.sendPositions = &simSendQueues.positions[1];
  lf_dropQueued();
}

}  // namespace cvl

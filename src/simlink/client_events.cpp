#include "simlink/client_events.h"

#include <initializer_list>
#include <mutex>

#include "foundation/log.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"

namespace cvl {
namespace {

// The simulator's 0..16383 scale.
constexpr std::uint32_t fullScale = 16383;
constexpr std::array<std::uint32_t, 5> flapsValues{0, 3072, 10240, fullScale, 0};
constexpr std::array<std::uint32_t, 5> throttleValues{0, 4914, 8191, 11468, fullScale};

void lf_queue(std::initializer_list<ClientEventItem> items) {
  const std::lock_guard lock{simConnectMutex};
  simSendQueues.clientEvents.insert(simSendQueues.clientEvents.end(), items);
}

void lf_queue(std::uint32_t objectId, SimEventId event, std::uint32_t value) {
  lf_queue({{objectId, event, value}});
}

bool lf_isRotorcraft(const StaticAc& aircraft) {
  return aircraft.category == AcCategory::Rotorcraft;
}

}  // namespace

void gf_engineShutdown(std::uint32_t objectId) {
  lf_queue(objectId, ENGINE_AUTO_SHUTDOWN, 0);
}

void gf_engineStart(std::uint32_t objectId) {
  lf_queue(objectId, ENGINE_AUTO_START, 0);
}

void gf_setLights(std::uint32_t objectId, const std::array<std::uint32_t, 7>& lights) {
  lf_queue({{objectId, NAV_LIGHTS_SET, lights[0]},
            {objectId, BEACON_LIGHTS_SET, lights[1]},
            {objectId, LANDING_LIGHTS_SET, lights[2]},
            {objectId, TAXI_LIGHTS_SET, lights[3]},
            {objectId, STROBES_SET, lights[4]},
            {objectId, LOGO_LIGHTS_SET, lights[5]},
            {objectId, CABIN_LIGHTS_SET, lights[6]}});
}

void gf_setNavLights(std::uint32_t objectId, std::uint32_t value) {
  lf_queue(objectId, NAV_LIGHTS_SET, value);
}

void gf_setCabinLights(std::uint32_t objectId, std::uint32_t value) {
  lf_queue(objectId, CABIN_LIGHTS_SET, value);
}

void gf_setSpoilers(StaticAc& aircraft, std::uint32_t value) {
  if (!lf_isRotorcraft(aircraft)) {
    lf_queue(aircraft.objectId, SPOILERS_SET, value > 0 ? fullScale : 0);
  }
}

void gf_setGear(StaticAc& aircraft, bool down) {
  if (!lf_isRotorcraft(aircraft)) {
    lf_queue(aircraft.objectId, GEAR_SET, down ? 1 : 0);
  }
}

void gf_setFlaps(StaticAc& aircraft, std::uint32_t index) {
  if (index == aircraft.flapsIndex || lf_isRotorcraft(aircraft)) {
    return;
  }
  if (index < flapsValues.size()) {
    lf_queue(aircraft.objectId, FLAPS_SET, flapsValues[index]);
  } else {
    gf_logFlagged("gf_setFlaps: invalid flaps index");
  }
  aircraft.flapsIndex = index;
}

void gf_setThrottle(StaticAc& aircraft, std::uint32_t level) {
  if (level == aircraft.throttleLevel) {
    return;
  }
  if (level < throttleValues.size()) {
    lf_queue(aircraft.objectId, THROTTLE_SET, throttleValues[level]);
  }
  aircraft.throttleLevel = level;
}

}  // namespace cvl

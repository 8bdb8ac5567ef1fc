#include "simemu/sim_events.h"

#include <algorithm>
#include <array>

#include "simemu/letter_case.h"

namespace cvl::simemu {
namespace {

// Lever positions and similar event values run from 0 to 16383.
constexpr double fullScale = 16383.0;

void setLight(SimObject& object, LightBit bit, std::uint32_t value) {
  object.lights = value != 0 ? (object.lights | bit) : (object.lights & ~static_cast<std::uint32_t>(bit));
}

std::uint32_t allNamedLights() {
  std::uint32_t mask = 0;
  for (const auto& [name, bit] : namedLights()) {
    mask |= bit;
  }
  return mask;
}

struct SimEvent {
  std::string_view name;
  void (*apply)(SimObject&, std::uint32_t value);
};

const std::array<SimEvent, 17> events{{
    {"BEACON_LIGHTS_SET", [](SimObject& o, std::uint32_t v) { setLight(o, lightBeacon, v); }},
    {"NAV_LIGHTS_SET", [](SimObject& o, std::uint32_t v) { setLight(o, lightNav, v); }},
    {"TAXI_LIGHTS_SET", [](SimObject& o, std::uint32_t v) { setLight(o, lightTaxi, v); }},
    {"STROBES_SET", [](SimObject& o, std::uint32_t v) { setLight(o, lightStrobe, v); }},
    {"LANDING_LIGHTS_SET", [](SimObject& o, std::uint32_t v) { setLight(o, lightLanding, v); }},
    {"CABIN_LIGHTS_SET", [](SimObject& o, std::uint32_t v) { setLight(o, lightCabin, v); }},
    {"LOGO_LIGHTS_SET", [](SimObject& o, std::uint32_t v) { setLight(o, lightLogo, v); }},
    {"ALL_LIGHTS_TOGGLE",
     [](SimObject& o, std::uint32_t) { o.lights = (o.lights & allNamedLights()) != 0 ? 0 : allNamedLights(); }},
    {"FREEZE_LATITUDE_LONGITUDE_SET", [](SimObject& o, std::uint32_t v) { o.frozenLatLon = v != 0; }},
    {"FREEZE_ALTITUDE_SET", [](SimObject& o, std::uint32_t v) { o.frozenAltitude = v != 0; }},
    {"FREEZE_ATTITUDE_SET", [](SimObject& o, std::uint32_t v) { o.frozenAttitude = v != 0; }},
    {"FLAPS_SET", [](SimObject& o, std::uint32_t v) { o.flapsPct = 100.0 * v / fullScale; }},
    {"SPOILERS_SET", [](SimObject& o, std::uint32_t v) { o.spoilersPct = 100.0 * v / fullScale; }},
    {"GEAR_SET", [](SimObject& o, std::uint32_t v) { o.gearDown = v != 0; }},
    {"ENGINE_AUTO_START", [](SimObject& o, std::uint32_t) { o.enginesRunning = true; }},
    {"ENGINE_AUTO_SHUTDOWN", [](SimObject& o, std::uint32_t) { o.enginesRunning = false; }},
    {"THROTTLE_SET", [](SimObject& o, std::uint32_t v) { o.throttlePct.fill(100.0 * v / fullScale); }},
}};

const SimEvent* findEvent(std::string_view name) {
  const auto* found = std::find_if(events.begin(), events.end(), [name](const SimEvent& e) { return e.name == name; });
  return found != events.end() ? found : nullptr;
}

}  // namespace

std::string knownSimEvent(std::string_view name) {
  auto upper = upperCase(name);
  return findEvent(upper) != nullptr ? upper : std::string();
}

void applySimEvent(const std::string& name, std::uint32_t value, SimObject& object) {
  object.lastEvents[name] = value;
  if (const auto* event = findEvent(name)) {
    event->apply(object, value);
  }
}

const std::vector<std::pair<std::string, LightBit>>& namedLights() {
  static const std::vector<std::pair<std::string, LightBit>> lights{
      {"nav", lightNav},       {"beacon", lightBeacon}, {"landing", lightLanding}, {"taxi", lightTaxi},
      {"strobe", lightStrobe}, {"logo", lightLogo},     {"cabin", lightCabin}};
  return lights;
}

}  // namespace cvl::simemu

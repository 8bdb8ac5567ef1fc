#include "simlink/sim_setup.h"

#include <array>

#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"

namespace cvl {
namespace {

struct SystemEvent {
  SimEventId id;
  const char* name;
};

struct Datum {
  SimDataDefinitionId definition;
  const char* name;
  const char* units;
  SIMCONNECT_DATATYPE type;
};

struct ClientEvent {
  SimEventId id;
  const char* name;
};

constexpr auto float64 = SIMCONNECT_DATATYPE_FLOAT64;
constexpr auto int64 = SIMCONNECT_DATATYPE_INT64;

constexpr std::array<SystemEvent, 5> systemEvents{{
    {EVT_SIM, "Sim"},
    {EVT_OBJECT_ADDED, "ObjectAdded"},
    {EVT_OBJECT_REMOVED, "ObjectRemoved"},
    {EVT_FLIGHT_LOADED, "FlightLoaded"},
    {EVT_FRAME, "Frame"},
}};

// The rows of each definition in the order of the fields of its data block.
constexpr std::array<Datum, 38> data{{
    {DEF_TITLE, "TITLE", nullptr, SIMCONNECT_DATATYPE_STRINGV},
    {DEF_ATC_MODEL, "ATC MODEL", nullptr, SIMCONNECT_DATATYPE_STRING32},
    {DEF_SIM_ON_GROUND, "SIM ON GROUND", "Bool", int64},
    {DEF_AI_POSITION, "Plane Latitude", "degree", float64},
    {DEF_AI_POSITION, "Plane Longitude", "degree", float64},
    {DEF_AI_POSITION, "Plane Pitch degrees", "radians", float64},
    {DEF_AI_POSITION, "Plane Bank degrees", "radians", float64},
    {DEF_AI_POSITION, "Plane Heading degrees true", "radians", float64},
    {DEF_AI_POSITION, "Plane Altitude", "feet", float64},
    {DEF_AI_POSITION, "Vertical Speed", "feet per second", float64},
    {DEF_AI_POSITION, "Airspeed True", "knots", float64},
    {DEF_USER_AC, "Plane Latitude", "degree", float64},
    {DEF_USER_AC, "Plane Longitude", "degree", float64},
    {DEF_USER_AC, "Plane Pitch degrees", "radians", float64},
    {DEF_USER_AC, "Plane Bank degrees", "radians", float64},
    {DEF_USER_AC, "Plane Heading degrees true", "radians", float64},
    {DEF_USER_AC, "Plane Altitude", "feet", float64},
    {DEF_USER_AC, "Plane Alt Above Ground", "feet", float64},
    {DEF_USER_AC, "Ground Velocity", "knots", float64},
    {DEF_USER_AC, "ZULU TIME", "Seconds", int64},
    {DEF_USER_AC, "ZULU DAY OF YEAR", "Number", int64},
    {DEF_USER_AC, "ZULU YEAR", "Number", int64},
    {DEF_USER_AC, "LIGHT STATES", "Mask", int64},
    {DEF_STATIC_CG, "Static CG to Ground", "feet", float64},
    {DEF_STATIC_CG, "Static Pitch", "radians", float64},
    {DEF_LIGHT_ON_STATES, "Light On States", "Mask", int64},
    {DEF_AC_IN_RANGE, "Plane Alt Above Ground", "feet", float64},
    {DEF_AC_IN_RANGE, "Ground Altitude", "feet", float64},
    {DEF_AC_IN_RANGE, "SIM ON GROUND", "Bool", int64},
    {DEF_AC_IN_RANGE, "ATC ID", nullptr, SIMCONNECT_DATATYPE_STRING32},
    {DEF_ADDED_AIRCRAFT, "Plane Alt Above Ground", "feet", float64},
    {DEF_ADDED_AIRCRAFT, "Ground Altitude", "feet", float64},
    {DEF_ADDED_AIRCRAFT, "SIM ON GROUND", "Bool", int64},
    {DEF_ADDED_AIRCRAFT, "ATC ID", nullptr, SIMCONNECT_DATATYPE_STRING32},
    {DEF_ADDED_AIRCRAFT, "TITLE", nullptr, SIMCONNECT_DATATYPE_STRING256},
    {DEF_AI_CONTROLS, "SPOILERS HANDLE POSITION", "percent", float64},
    {DEF_AI_CONTROLS, "GENERAL ENG THROTTLE LEVER POSITION:1", "percent", float64},
    {DEF_AI_CONTROLS, "GENERAL ENG THROTTLE LEVER POSITION:2", "percent", float64},
}};

constexpr std::array<ClientEvent, 17> clientEvents{{
    {GEAR_SET, "GEAR_SET"},
    {ENGINE_AUTO_START, "ENGINE_AUTO_START"},
    {ENGINE_AUTO_SHUTDOWN, "ENGINE_AUTO_SHUTDOWN"},
    {THROTTLE_SET, "THROTTLE_SET"},
    {FLAPS_SET, "FLAPS_SET"},
    {SPOILERS_SET, "SPOILERS_SET"},
    {NAV_LIGHTS_SET, "NAV_LIGHTS_SET"},
    {BEACON_LIGHTS_SET, "BEACON_LIGHTS_SET"},
    {LANDING_LIGHTS_SET, "LANDING_LIGHTS_SET"},
    {TAXI_LIGHTS_SET, "TAXI_LIGHTS_SET"},
    {STROBES_SET, "STROBES_SET"},
    {LOGO_LIGHTS_SET, "LOGO_LIGHTS_SET"},
    {CABIN_LIGHTS_SET, "CABIN_LIGHTS_SET"},
    {ALL_LIGHTS_TOGGLE, "ALL_LIGHTS_TOGGLE"},
    {FREEZE_LATITUDE_LONGITUDE_SET, "FREEZE_LATITUDE_LONGITUDE_SET"},
    {FREEZE_ALTITUDE_SET, "FREEZE_ALTITUDE_SET"},
    {FREEZE_ATTITUDE_SET, "FREEZE_ATTITUDE_SET"},
}};

// Every mapped event but ENGINE_AUTO_START.
constexpr std::array<SimEventId, 16> groupMembers{
    NAV_LIGHTS_SET,
    BEACON_LIGHTS_SET,
    LANDING_LIGHTS_SET,
    TAXI_LIGHTS_SET,
    STROBES_SET,
    LOGO_LIGHTS_SET,
    CABIN_LIGHTS_SET,
    ALL_LIGHTS_TOGGLE,
    FLAPS_SET,
    SPOILERS_SET,
    GEAR_SET,
    ENGINE_AUTO_SHUTDOWN,
    THROTTLE_SET,
    FREEZE_LATITUDE_LONGITUDE_SET,
    FREEZE_ALTITUDE_SET,
    FREEZE_ATTITUDE_SET,
};

}  // namespace

void lf_setupSimConnect() {
  const HANDLE handle = hSimConnect;
  for (const auto& [id, name] : systemEvents) {
    SimConnect_SubscribeToSystemEvent(handle, id, name);
  }
  for (const auto& [definition, name, units, type] : data) {
    SimConnect_AddToDataDefinition(handle, definition, name, units, type, 0.0F, SIMCONNECT_UNUSED);
  }
  for (const auto& [id, name] : clientEvents) {
    SimConnect_MapClientEventToSimEvent(handle, id, name);
  }
  for (const auto id : groupMembers) {
    lf_addEventToGroup(id);
  }
  SimConnect_SetNotificationGroupPriority(handle, GROUP_AI_EVENTS, SIMCONNECT_GROUP_PRIORITY_HIGHEST);
}

void lf_addEventToGroup(std::uint32_t eventId) {
  SimConnect_AddClientEventToNotificationGroup(hSimConnect, GROUP_AI_EVENTS, eventId, true);
}

}  // namespace cvl

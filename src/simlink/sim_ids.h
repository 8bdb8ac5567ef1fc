#pragma once

#include <cstdint>

// Every identifier the program hands to SimConnect: system and client events, data definitions, the notification
// group and the requests. The values are the program's own choice; the simulator echoes them in its messages.
namespace cvl {

enum SimEventId : std::uint32_t {
  // System events.
  EVT_SIM = 201,
  EVT_OBJECT_ADDED = 202,
  EVT_OBJECT_REMOVED = 203,
  EVT_FRAME = 204,
  EVT_FLIGHT_LOADED = 205,
  // Client events, each mapped to the simulator event of the same name.
  BEACON_LIGHTS_SET = 206,
  NAV_LIGHTS_SET = 207,
  TAXI_LIGHTS_SET = 208,
  STROBES_SET = 209,
  LANDING_LIGHTS_SET = 210,
  CABIN_LIGHTS_SET = 211,
  LOGO_LIGHTS_SET = 212,
  ALL_LIGHTS_TOGGLE = 213,
  FREEZE_LATITUDE_LONGITUDE_SET = 214,
  FREEZE_ALTITUDE_SET = 215,
  FREEZE_ATTITUDE_SET = 216,
  FLAPS_SET = 217,
  SPOILERS_SET = 218,
  GEAR_SET = 219,
  ENGINE_AUTO_START = 220,
  ENGINE_AUTO_SHUTDOWN = 221,
  THROTTLE_SET = 222,
};

enum SimDataDefinitionId : std::uint32_t {
  DEF_AI_CONTROLS = 401,      // spoilers handle, throttle levers 1 and 2: 24 bytes
  DEF_AI_POSITION = 402,      // PositionUpdate's first 64 bytes
  DEF_USER_AC = 403,          // UserAcData, 96 bytes
  DEF_AC_IN_RANGE = 404,      // 56 bytes
  DEF_STATIC_CG = 405,        // 16 bytes
  DEF_LIGHT_ON_STATES = 406,  // declared, never requested
  DEF_TITLE = 407,            // a NUL-terminated text of any length
  DEF_ATC_MODEL = 408,        // char[32]
  DEF_SIM_ON_GROUND = 409,    // 8 bytes
  DEF_ADDED_AIRCRAFT = 410,   // 312 bytes: DEF_AC_IN_RANGE and the title
};

enum SimGroupId : std::uint32_t {
  GROUP_AI_EVENTS = 301,
};

enum SimRequestId : std::uint32_t {
  REQ_AC_IN_RANGE = 101,
  REQ_STATIC_CG = 102,
  REQ_RELEASE_CONTROL = 103,
  REQ_AI_CREATE = 104,
  REQ_AI_REMOVE = 105,
  REQ_USER_TITLE = 106,
  REQ_USER_ATC_MODEL = 107,
  REQ_USER_ON_GROUND = 108,
  REQ_USER_POSITION = 109,
  REQ_AI_FLIGHT_PLAN = 110,
  REQ_ADDED_AIRCRAFT = 111,
};

}  // namespace cvl

#pragma once

#include <cstdint>
#include <deque>
#include <limits>
#include <optional>

#include "engine/ac_enums.h"
#include "engine/static_ac.h"
#include "foundation/geometry.h"
#include "trafficin/timed_position.h"

// A live aircraft: a reported flight that the engine plays back in the simulator. The movement fields are the
// engine's working state; each is described where the engine uses it.
namespace cvl {

// The position block last handed to the simulator, in the layout of the simulator's position data.
struct SimPosition {
  double lat = 0.0;  // degrees
  double lon = 0.0;
  double pitch = 0.0;  // radians
  double bank = 0.0;
  double heading = 0.0;
  double altitude = 0.0;       // feet
  double verticalSpeed = 0.0;  // feet per second
  double tas = 0.0;            // knots
};

// A point of a ground curve in metres from the curve's origin.
struct NorthEast {
  double north = 0.0;
  double east = 0.0;
};

struct LiveAc : StaticAc {
  // A record with no stand, the first reported position in its stream, in state buffer and phase birth.
  LiveAc(AcIdentity& identity, const TimedPosition& first, double itemTime);

  LiveAc(LiveAc&&) noexcept = default;
  LiveAc& operator=(LiveAc&&) noexcept = default;
  ~LiveAc() = default;

  SimPosition simPos;
  // The reported positions still to fly, oldest first.
  std::deque<TimedPosition> stream;
  // The traffic service's timestamp of the last accepted item, seconds, and the tick at which it was accepted.
  double lastItemTime = 0.0;
  std::int32_t lastItemTick = 0;
  // The tick at which its creation was handed to the simulator, while the simulator has not shown it.
  std::optional<std::int32_t> handedOverAt;
  // The newest report that came while the aircraft could not follow its reports: at its stand while not in the
  // simulator, or pushed back by the engine. It is played as soon as the aircraft can.
  std::optional<TimedPosition> heldReport;
  // Where the static collision check last looked at this aircraft.
  LatLon collisionProbe;
  // System time in 100-ns units at which the aircraft parked (only differences count).
  std::int64_t parkedAt = 0;
  std::int32_t extraCount = 0;
  std::int32_t holdStart = 0;
  AcPhase phase = AcPhase::birth;
  AcPhase prevPhase = AcPhase::birth;
  bool parkedListed = false;
  bool onGround = false;
  // A flight-plan file was written for it; it is deleted with the aircraft.
  bool hasFlightPlan = false;
  // Its first positions conflict with the user aircraft.
  bool userConflict = false;
  // It has waited at the edge of the range, which the log has said.
  bool rangeEdgeLogged = false;
  bool holding = false;
  // Per-tick steps.
  double stepLat = 0.0;
  double stepLon = 0.0;
  double stepPitch = 0.0;
  double stepBank = 0.0;
  double stepHeading = 0.0;
  double stepAlt = 0.0;
  double sendVs = 0.0;
  double sendSpeed = 0.0;
  // The ground curve; a NaN control point means no curve.
  LatLon curveOrigin;
  double curveT0 = 0.0;
  NorthEast curveEnd;
  double curveT1 = 0.0;
  NorthEast curveCtrl{std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
  double curveT = 0.0;
  double curveStep = 0.0;
  double curveTurn = 0.0;
  TimedPosition pushAltPoint;
  // The last stream entry at which the stand search looked.
  LatLon parkProbe;
  std::int32_t dueBehind = 1000;
  std::int32_t dueAhead = 1000;
  std::int32_t phaseCounter = 1;
  std::int32_t pushStage = 0;
  std::int32_t standDriftCount = 0;
  double targetHeading = 0.0;
  double heightAgl = 2500.0;  // feet
  double heightAboveElev = 0.0;
  double rolloutHeading = 0.0;
  double pushedBackDistance = 0.0;
  double standDriftStart = 0.0;
  double standDriftLast = 0.0;
  double headingGap = 0.0;
  std::optional<double> respawnHeading;
  bool pushTurnRight = false;
  bool pushTurn = false;
  std::optional<double> groundElev;  // feet
  std::uint32_t flareStage = 0;
  bool approach = false;
  bool towRequest = false;
  bool towed = false;
  bool configured = false;
  bool takeOffRoll = false;
  bool cruiseSet = false;
  bool lowSet = false;
  bool derotate = false;
  bool rollout = false;
  bool departRequest = false;
  bool turnToTarget = false;
};

}  // namespace cvl

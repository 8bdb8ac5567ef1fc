#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string_view>

#include "engine/ac_category.h"
#include "foundation/geometry.h"
#include "simlink/user_ac_data.h"

// The user's own aircraft: where it is (the centre of the traffic, the position sent to the traffic service, the
// stand it occupies), whether it is on the ground, the simulator's date and time, its object id (every id at or below
// it is left alone) and its type with half wing span and category (so that parked traffic keeps clear of it).
// Requests are made on the worker thread; the replies are handled on the SimClient thread.
namespace cvl {

// Guards userAcSnapshot, so that a copy never mixes two replies.
extern std::mutex userAcMutex;
// The last position reply; latitude and longitude 0 until the first.
extern UserAcData userAcSnapshot;
// The position of the reply before, for the teleport rule. SimClient thread.
extern LatLon lastUserPosition;
// The user aircraft's object id; 2 until the first position reply of a cycle.
extern std::atomic<std::uint32_t> userObjectId;
extern std::atomic<bool> userOnGround;
// Set by the first on-ground reply of a cycle.
extern std::atomic<bool> userOnGroundKnown;
// The simulator's zulu date and time, seconds since 1970-01-01; kept while the traffic service is professional.
extern std::atomic<std::int64_t> simUnixTime;
// Set by each on-ground reply, once a second: the run loop's one-second clock, which it takes back (1 -> 0).
extern std::atomic<bool> oneSecondFlag;
extern std::atomic<double> userHalfSpanNm;
extern std::atomic<bool> userTypeKnown;
extern std::atomic<AcCategory> userCategory;

// The DEF_ATC_MODEL block.
struct AtcModelText {
  char text[32];
};

// Asks once for the user aircraft's data (unless a SimConnect call failed before) and returns the data of an earlier
// reply: the answer arrives later on the SimClient thread. Worker thread.
UserAcData gf_requestUserAcPosition();
// Asks once for the title and then the "ATC MODEL" of the user aircraft. Worker thread.
void gf_requestUserAcTitleAndModel();
// A copy of userAcSnapshot.
UserAcData gf_userAcSnapshot();

// Whether a position reply has placed the user aircraft anywhere but at latitude and longitude 0.
bool lf_userPositionKnown();

// The replies, SimClient thread.
void lf_onUserOnGround(std::int64_t simOnGround);
void lf_onUserPosition(const UserAcData& data, std::uint32_t objectId);
void lf_onUserAcTitle(std::string_view title);
// Deduces the ICAO type, half span and category from the "ATC MODEL". Throws UserErrorException 73 when the model
// cannot be handled.
void lf_onUserAcModel(std::string_view model);

// The simulator's zulu date and time of the data, seconds since 1970-01-01.
std::int64_t lf_zuluUnixTime(const UserAcData& data);

// Puts every value back to its start (the reset before a restart).
void gf_resetUserAircraft();

}  // namespace cvl

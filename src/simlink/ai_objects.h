#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "simconnect/simconnect.h"
#include "simlink/create_request.h"

// Creating and removing the program's AI aircraft, and recognising them. The simulator's object id of a created
// aircraft is not taken from the creation: each aircraft gets its callsign as its tail number, and the object is
// recognised when the simulator answers the request for the data of an added object with the "ATC ID" and title of a
// pending creation, the oldest such. A creation the engine has given up
// may still show after another aircraft took its callsign; the title keeps the one's object from being taken for the
// other's. The program's own aircraft are then released from the simulator's AI and frozen, so that only the program
// moves them; aircraft it did not create are reported to the engine or only logged. Everything here runs on the
// SimClient thread.
namespace cvl {

// A creation sent and not yet recognised or refused.
struct PendingCreate {
  std::uint32_t packetId = 0;  // 0 when the library could not tell it
  std::uint32_t hexid = 0;
  std::string callsign;
  std::string title;
};

// Oldest first.
extern std::vector<PendingCreate> pendingCreates;
// Aircraft objects the simulator reported added whose data has not come yet.
extern std::vector<std::uint32_t> addedObjects;

// Called by the frame handler, which holds simConnectMutex.
void lf_createAcInSim(const CreateRequest& request);
void lf_removeAcFromSim(std::uint32_t objectId);

// ObjectAdded and ObjectRemoved of aircraft.
void lf_onObjectAddRemove(const SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE& message);
// One object of a range scan (request REQ_AC_IN_RANGE) with its data block; other requests are ignored, and so are
// added objects whose data has not come yet.
void lf_onSimObjectDataByType(const SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE& message, std::span<const std::byte> block);
// The data block of an aircraft asked for as it was added (request REQ_ADDED_AIRCRAFT).
void lf_onAddedAircraftData(std::uint32_t objectId, std::span<const std::byte> block);
// The simulator refused the creation sent with this packet id.
void lf_onCreateRefused(std::uint32_t packetId);
// The simulator holds as many objects as it can: the creation sent with this packet id will not show. No livery is to
// blame; the engine lets the aircraft wait for room.
void lf_onCreateOverLimit(std::uint32_t packetId);

void gf_reserveAiObjectLists(std::size_t room);
// Empties both lists (the reset before a restart).
void gf_clearAiObjects();

}  // namespace cvl

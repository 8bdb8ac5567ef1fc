#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "simlink/create_request.h"

// What the traffic engine wants sent to the simulator waits in these queues until the next simulator frame, when the
// SimClient thread sends it: positions, client events, creations and removals, in that order. Every queue is
// guarded by simConnectMutex, except the position vector being filled, which only the engine's thread touches
// between two exchanges.
namespace cvl {

// One AI aircraft's new position. The first eight fields are the data block of DEF_AI_POSITION as it is sent.
struct PositionUpdate {
  double latitude = 0.0;       // degrees
  double longitude = 0.0;      // degrees
  double pitch = 0.0;          // radians
  double bank = 0.0;           // radians
  double heading = 0.0;        // true, radians
  double altitude = 0.0;       // feet
  double verticalSpeed = 0.0;  // feet per second
  double trueAirspeed = 0.0;   // knots
  std::uint32_t objectId = 0;
};
inline constexpr std::uint32_t positionBlockBytes = 64;
static_assert(offsetof(PositionUpdate, objectId) == positionBlockBytes);

struct ClientEventItem {
  std::uint32_t objectId = 0;
  std::uint32_t event = 0;  // a client event id, 206-222
  std::uint32_t value = 0;

  friend bool operator==(const ClientEventItem&, const ClientEventItem&) = default;
};

struct SimSendQueues {
  SimSendQueues() = default;
  SimSendQueues(const SimSendQueues&) = delete;
  SimSendQueues& operator=(const SimSendQueues&) = delete;

  // The engine appends to *fillPositions during its tick; the frame handler sends *sendPositions.
  std::array<std::vector<PositionUpdate>, 2> positions;
  std::vector<PositionUpdate>* fillPositions = &positions[0];
  std::vector<PositionUpdate>* sendPositions = &positions[1];
  std::vector<ClientEventItem> clientEvents;
  std::vector<CreateRequest> creations;
  std::vector<std::uint32_t> removals;  // object ids

  // Makes the filled positions the ones to send and empties the other vector for the next fill; positions the frame
  // handler did not send in time are dropped, never sent late. The caller holds simConnectMutex.
  void exchangePositions();
};

extern SimSendQueues simSendQueues;

// Appends a copy to the creation queue under simConnectMutex; it is sent on the next frame.
void gf_queueCreateRequest(const CreateRequest& request);
// Appends an object id to the removal queue under simConnectMutex.
void gf_queueRemoval(std::uint32_t objectId);

// The frame handler: sends what is queued, unless another thread holds simConnectMutex (then everything waits for
// the next frame). After a failed SimConnect call everything queued is dropped unsent. SimClient thread.
void lf_onFrame();

// At the start of a run cycle, before its SimClient thread starts: room for 256 entries in the position, creation
// and removal queues and in the lists of pending creations and added objects (entries already present stay), and
// simConnectFailed cleared.
void gf_resetSimConnectQueues();
// Empties every queue and puts the position vectors back in their places (the reset before a restart).
void gf_clearSendQueues();

}  // namespace cvl

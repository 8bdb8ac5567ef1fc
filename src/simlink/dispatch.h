#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>

#include "simconnect/simconnect.h"

// Every message of the simulator reaches the program on the SimClient thread through lf_dispatch, which routes it by
// its kind: the connection message (which simulator answered), the system events (flight running, flight loaded, a
// new flight file, quit, frames), the library's exceptions and the replies to data requests.
namespace cvl {

// The simulator's frame rate, refreshed every 30th frame.
extern std::atomic<float> frameRate;
// Frames since the last refresh of frameRate.
extern std::uint32_t frameCounter;

// The callback handed to SimConnect_CallDispatch. messageSize counts the record and its data block.
void lf_dispatch(SIMCONNECT_RECV* message, std::uint32_t messageSize, void* context);

// Which simulator answered. Throws UserErrorException 71 for the simulator not chosen, 77 for any other.
void lf_onOpen(const SIMCONNECT_RECV_OPEN& message);
// The text of error 71: names the simulator that is running.
std::string lf_wrongSimMessage();
// Throws UserErrorException 95 for a version mismatch.
void lf_onException(const SIMCONNECT_RECV_EXCEPTION& message);
void lf_onSimObjectData(const SIMCONNECT_RECV_SIMOBJECT_DATA& message, std::span<const std::byte> block);

}  // namespace cvl

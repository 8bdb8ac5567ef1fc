#pragma once

#include <cstdint>

// The declarations a new connection needs before the simulator answers the program: the system events it subscribes
// to, the data definitions, the client events with their notification group.
namespace cvl {

// Subscriptions, data definitions, client-event mappings, group members and group priority, in that order.
// SimClient thread, right after the connection opened.
void lf_setupSimConnect();
// Adds a client event to the group GROUP_AI_EVENTS, maskable.
void lf_addEventToGroup(std::uint32_t eventId);

}  // namespace cvl

#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/throttled_log.h"
#include "platform/net/sockets.h"
#include "simlink/user_ac_data.h"

// The TCP link with the traffic service (RealTraffic) when it runs on this computer: Corvalen listens, the service
// connects, learns where the user's aircraft is (Qs121) and, in its professional edition, the simulator's time
// (Qs123). Everything here runs on the worker thread and never waits longer than the caller allows: a lost service is
// waited for a moment at a time, so the run loop and the window stay responsive.
namespace cvl {

extern net::Socket rtListenSocket;
extern net::Socket rtClientSocket;
// The service's client is connected; cleared when a send fails.
extern std::atomic<bool> realTrafficConnected;
// Set until the service has connected, and again after the reset before a restart.
extern std::atomic<bool> awaitingRealTraffic;
// Every line about the link going and coming back: a local program can connect and leave every second. Each tells
// the link's state, so the latest one left out is written once the minute is over.
extern ThrottledLog realTrafficLinkLog;

// How long the start-of-run handshake waits for the version answer.
inline constexpr std::chrono::milliseconds versionReplyPatience{5000};

// Listens on the port (text; "0" lets the system choose) of the loopback address. Throws std::runtime_error with the
// failing step's text after freeing what was set up.
void startServer(const std::string& port);
// Accepts the service's connection if it comes within `wait`; false when connected already, without a listening
// socket, or when none came.
bool waitForClient(std::chrono::milliseconds wait);
// The service's answer: read until a whole JSON object has come, the peer closed, or `patience` ran out; empty on
// errors (logged) and when a stop is requested.
std::string receive(std::chrono::milliseconds patience);
// Sends the line. A failure, or a peer that has closed, drops the connection and gives false.
bool sendDataPacket(std::string_view line);
// Closes the listening and the client socket; the link is down afterwards.
void gf_closeRealTrafficSockets();

// The start-of-run handshake: waits for the service (until it connects or a stop is requested), asks for its version
// and edition, and shows the link. Does nothing unless the service is installed on this computer.
void gf_connectRealTraffic();
// Takes the edition and version from the answer to "Qs999=version"; an empty or unreadable answer is reported.
void lf_readRealTrafficVersion(const std::string& reply);
// Sends the user's position, or, while the link is down, looks once for the service's return. A failed send removes
// the live traffic and waits for the service to come back.
void gf_sendUserPosition();
// Sends the simulator's time (Unix seconds) while connected; nothing for a time below 1.
void gf_sendQs123(std::int64_t unixSeconds);

// "Qs121=pitch;bank;heading;altitude;ground speed;latitude;longitude\r\n": pitch and bank in radians × 100000,
// altitude in feet × 1000 and ground speed in knots × 1000 as whole numbers, heading, latitude and longitude in
// radians with six decimals.
std::string gf_userPositionLine(const UserAcData& user);

}  // namespace cvl

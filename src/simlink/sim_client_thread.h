#pragma once

#include <atomic>
#include <mutex>
#include <stop_token>
#include <thread>

#include "simconnect/simconnect.h"

// The "SimClient" thread, which holds the SimConnect link for one run cycle: it waits for the simulator, declares
// every identifier the program uses and then hands the simulator's messages to the dispatch about once a millisecond
// until the cycle ends. Closing down asks it to stop through its stop token; the next cycle joins it before it
// touches the link's state again.
namespace cvl {

// The connection; null while not connected. Set and zeroed by the SimClient thread while it holds simConnectMutex,
// so a request made under the mutex never uses a connection that is being closed.
extern std::atomic<HANDLE> hSimConnect;
// Guards the send queues and every SimConnect call made by a thread other than SimClient.
extern std::mutex simConnectMutex;
extern std::jthread simClientThread;
// The simulator's flight is running (its "Sim" event).
extern std::atomic<bool> simRunning;
// A SimConnect call failed: the send queues are dropped unsent until the next cycle.
extern std::atomic<bool> simConnectFailed;

// The thread body: connect (retrying every 100 ms), declare, dispatch, and on leaving close the connection.
void lf_simClientThread(std::stop_token stop);

// Ends the previous cycle's SimClient thread and waits for it, so that no one touches the link's state meanwhile.
void gf_joinSimClientThread();

// Puts the link's per-cycle state back to its start values (the reset before a restart); joins the old thread first.
void gf_resetSimLinkState();

}  // namespace cvl

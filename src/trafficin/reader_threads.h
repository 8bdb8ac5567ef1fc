#pragma once

#include <atomic>
#include <cstdint>

// The threads of the two UDP readers and the check that shows on the main window whether their datagrams arrive.
namespace cvl {

// The thread bodies of "Traffic Reader" and "QNH Reader" (the run passes ports 49005 and 49004; 0 lets the system
// choose, see UdpReader::boundPort). Each receives until its reader's stop flag is set; a socket failure ends it
// through gf_readerStopped, which restarts the run.
void lf_trafficReaderThread(std::uint16_t port);
void lf_qnhReaderThread(std::uint16_t port);

// While the traffic service is connected (or no link is used): a reader that received nothing since the last check
// shows lamp 2 (silent), one that receives again lamp 1.
void gf_checkReaderActivity();

// The traffic and the weather lamp were last set to 1 (receiving) by the activity check, which then leaves them.
extern std::atomic<bool> trafficReceiving;
extern std::atomic<bool> weatherReceiving;

}  // namespace cvl

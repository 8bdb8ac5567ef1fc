#pragma once

// The common answer to a SimConnect call that failed: the send queues are dropped from now on and the run cycle ends
// with SIMCONNECT ERROR, to restart after 9 seconds (unless another stop came first). Any thread.
namespace cvl {

void gf_onSimConnectRequestError();

}  // namespace cvl

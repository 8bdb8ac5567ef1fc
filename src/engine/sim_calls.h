#pragma once

#include <mutex>

#include "simconnect/simconnect.h"
#include "simlink/sim_client_thread.h"

// The engine's few direct SimConnect calls (most of what it sends goes through the send queues).
namespace cvl {

// Makes the call under simConnectMutex with the connection's handle, unless there is no connection or an earlier call
// has failed (the run is then ending). True only when the call was made and failed.
template <class Call>
bool gf_simCallFailed(Call call) {
  const std::lock_guard lock{simConnectMutex};
  const HANDLE handle = hSimConnect.load();
  if (handle == nullptr || simConnectFailed.load()) {
    return false;
  }
  return FAILED(call(handle));
}

}  // namespace cvl

#include "simlink/request_error.h"

#include "app/exit_reasons.h"
#include "app/status_line.h"
#include "simlink/sim_client_thread.h"

namespace cvl {
namespace {

constexpr std::int32_t restartDelay = 9;

}  // namespace

void gf_onSimConnectRequestError() {
  gf_setStatusLine("SimConnect request error", true);
  simConnectFailed = true;
  gf_requestExit(ExitReason::simConnectError, restartDelay);
}

}  // namespace cvl

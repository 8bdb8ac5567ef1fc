#include <fmt/format.h>

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <thread>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "app/status_line.h"
#include "app/user_position.h"
#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "foundation/constants.h"
#include "foundation/geometry.h"
#include "foundation/log.h"
#include "foundation/timekeeping.h"
#include "trafficin/reader_control.h"
#include "trafficin/realtraffic_link.h"
#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

// How long one look for the service lasts while the start of the run waits for it.
constexpr std::chrono::milliseconds acceptSlice{200};

// A whole number without a negative zero.
double lf_whole(double value) {
  return std::round(value) + 0.0;
}

// The version as the service sent it, without JSON quotes.
std::string lf_versionText(const nlohmann::json& reply) {
  const auto version = reply.find("version");
  if (version == reply.end() || version->is_null()) {
    return {};
  }
  return version->is_string() ? version->get<std::string>() : version->dump();
}

// Level 2 is the professional edition; a missing level counts as 1, and a level that is no number as standard.
bool lf_isProfessional(const nlohmann::json& reply) {
  const auto level = reply.find("level");
  return level != reply.end() && level->is_number() && level->get<double>() == 2.0;
}

void lf_showLink(bool up) {
  mainWindow.realTrafficLamp = up;
  gf_invalidateBand(rcHeader);
}

// The live traffic cannot be kept up to date without the service: what is in the simulator is removed, what waits
// for its creation is withdrawn, and what is only buffered stays.
void lf_withdrawLiveTraffic() {
  for (LiveAc& aircraft : liveAcs) {
    if (aircraft.state == AcState::active || aircraft.state == AcState::adding2sim) {
      removeAircraftFromSim(aircraft);
    }
  }
  std::erase_if(liveAcs, [](const LiveAc& aircraft) { return aircraft.removeNow; });
}

void lf_realTrafficGone() {
  lf_showLink(false);
  if (!closeRequested) {
    lf_withdrawLiveTraffic();
  }
  gf_resetReaders();
  const std::string gone = fmt::format("{} RealTraffic gone? Wait for RealTraffic to re-connect ...", gf_utcNowHms());
  gf_setStatusLine(gone, realTrafficLinkLog.admitState(gone));
}

// One short look for the returning service, so that the engine's tick never waits for it.
void lf_lookForReturn() {
  if (exitReason != ExitReason::notYetSet || !waitForClient(std::chrono::milliseconds{0})) {
    return;
  }
  lf_showLink(true);
  const std::string back = fmt::format("{} RealTraffic re-connected", gf_utcNowHms());
  gf_setStatusLine(back, realTrafficLinkLog.admitState(back));
  gf_clearStatusLine();
}

}  // namespace

void gf_connectRealTraffic() {
  if (!realTrafficDetected) {
    return;
  }
  gf_setStatusLine(fmt::format("Waiting for RealTraffic to connect to {} ...", programName), true);
  gf_flushLog();
  gf_resetReaders();
  while (rtListenSocket != net::invalidSocket && !gf_stopping() && !waitForClient(acceptSlice)) {
    if (net::lastError() != net::errorWouldBlock) {
      std::this_thread::sleep_for(acceptSlice);  // a failing accept must not spin
    }
  }
  if (realTrafficConnected) {
    sendDataPacket("Qs999=version\r\n");
    lf_readRealTrafficVersion(receive(versionReplyPatience));
    lf_showLink(true);
    awaitingRealTraffic = false;
    gf_log("RealTraffic connected");
  }
  gf_clearStatusLine();
}

void lf_readRealTrafficVersion(const std::string& reply) {
  const auto document = nlohmann::json::parse(reply, nullptr, false);
  if (document.is_discarded()) {
    gf_setStatusLine("No RealTraffic version received?", true);
    rtProfessional = false;
    return;
  }
  if (!document.is_object()) {
    rtProfessional = false;
    mainWindow.rtEditionText = "";
    gf_invalidateBand(rcHeader);
    return;
  }
  const bool professional = lf_isProfessional(document);
  rtProfessional = professional;
  mainWindow.rtEditionText =
      fmt::format("RT{} edition: {}", professional ? " prof" : " stnd", lf_versionText(document));
  gf_invalidateBand(rcHeader);
}

void gf_sendUserPosition() {
  if (!realTrafficDetected) {
    return;
  }
  const UserAcData user = userPosition;
  if (std::abs(user.latitude) <= 0.0001 && std::abs(user.longitude) <= 0.0001) {
    return;
  }
  if (!realTrafficConnected) {
    lf_lookForReturn();
    return;
  }
  if (!sendDataPacket(gf_userPositionLine(user))) {
    lf_realTrafficGone();
  }
}

void gf_sendQs123(std::int64_t unixSeconds) {
  if (realTrafficConnected && unixSeconds >= 1 && unixSeconds <= std::numeric_limits<std::int64_t>::max() / 1000) {
    sendDataPacket(fmt::format("Qs123={}\r\n", unixSeconds * 1000));
  }
}

std::string gf_userPositionLine(const UserAcData& user) {
  return fmt::format("Qs121={:.0f};{:.0f};{:.6f};{:.0f};{:.0f};{:.6f};{:.6f}\r\n", lf_whole(user.pitch * 100000.0),
                     lf_whole(user.bank * 100000.0), user.heading, lf_whole(user.altitude * 1000.0),
                     lf_whole(user.groundVelocity * 1000.0), user.latitude * degreesToRadians,
                     user.longitude * degreesToRadians);
}

}  // namespace cvl

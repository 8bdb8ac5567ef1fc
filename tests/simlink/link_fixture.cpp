#include "link_fixture.h"

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/sim_choice.h"
#include "engine/no_match_set.h"
#include "foundation/log.h"
#include "simconnect/in_process.h"
#include "simlink/creation_failures.h"
#include "simlink/dispatch.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_results.h"
#include "simlink/sim_setup.h"
#include "trafficin/traffic_reader.h"

namespace cvl::test {
namespace {

void lf_resetEverything() {
  gf_resetSimLinkState();
  gf_takeSimResults();
  FailedTitles.clear();
  failedCreations.clear();
  noMatchSet.clear();
  frameRate = 0.0F;
  frameCounter = 0;
  gf_resetMainWindow();
  stopRequested = false;
  closeRequested = false;
  exitReason = ExitReason::notYetSet;
  restartDelaySeconds = 0;
  msfs2020Mode = true;
  rtProfessional = false;
}

}  // namespace

LinkTest::LinkTest() {
  gf_openLog();
  lf_resetEverything();
}

LinkTest::~LinkTest() {
  gf_joinSimClientThread();
  if (HANDLE handle = hSimConnect.exchange(nullptr)) {
    SimConnect_Close(handle);
  }
  simconnect::useInProcessSimulator(nullptr);
  lf_resetEverything();
  gf_closeLog();
}

void LinkTest::startEmulator(const simemu::EmulatorSettings& settings) {
  emulator = std::make_shared<simemu::SimEmulator>(settings);
  simconnect::useInProcessSimulator(emulator);
}

void LinkTest::connect() {
  HANDLE handle = nullptr;
  ASSERT_TRUE(SUCCEEDED(SimConnect_Open(&handle, "Corvalen", nullptr, 0, nullptr, 0)));
  hSimConnect = handle;
  lf_setupSimConnect();
  pump();
}

void LinkTest::pump() {
  SimConnect_CallDispatch(hSimConnect, lf_dispatch, nullptr);
}

void LinkTest::frame() {
  emulator->runFrame(1.0 / 30.0);
  pump();
}

std::string LinkTest::logText() const {
  gf_flushLog();
  return readFile(folder_.path() / "Log.txt");
}

bool LinkTest::logged(std::string_view text) const {
  return logText().find(text) != std::string::npos;
}

nlohmann::json LinkTest::objectState(std::uint32_t id) const {
  const auto state = emulator->state();
  for (const auto& object : state["objects"]) {
    if (object["id"] == id) {
      return object;
    }
  }
  return nullptr;
}

}  // namespace cvl::test

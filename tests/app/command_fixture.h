#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "app/sim_choice.h"
#include "app/status_line.h"
#include "app/user_commands.h"
#include "engine/aircraft_lists.h"
#include "liveries/liveries_processed.h"
#include "main_window_fixture.h"
#include "parking/park_airport_list.h"
#include "platform/ui/user_input.h"
#include "refdata/airports_database.h"
#include "simlink/send_queues.h"
#include "trafficin/realtraffic_link.h"

namespace cvl::test {

// The main window open on the headless backend, worked by the user; every request and list the commands touch is
// put back afterwards.
class CommandTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (!IsSkipped()) {
      hwnd = openMainWindow();
    }
  }

  void TearDown() override {
    awaitingRealTraffic = true;
    msfs2020Mode = true;
    liveriesProcessed = false;
    parkAirportFileLoaded = false;
    navLightsRequested = false;
    gf_resetPeriodicJobs();
    staticAcs.clear();
    gf_forgetAirports();
    parkAirports.clear();
    simSendQueues.clientEvents.clear();
    MainWindowTest::TearDown();
  }

  // The user clicks the control, which the test enables first (most controls start disabled).
  void click(const OptionControl& control) const {
    ui::enable(control.hwnd, true);
    ui::user::click(control.hwnd);
    ui::pumpMessages();
  }
  void choose(const OptionControl& combo, int index) const {
    ui::user::choose(combo.hwnd, index);
    ui::pumpMessages();
  }
  void enter(const EditParameter& field, std::string_view text) const {
    ui::enable(field.hwnd, true);
    ui::user::type(field.hwnd, text);
    ui::user::pressEnter(field.hwnd);
    ui::pumpMessages();
  }

  static void setLookedUpCallsign(const std::string& callsign) {
    const std::lock_guard lock{gf_callsignListMutex()};
    *callsignChoices = {callsign};
    CALLSIGN_2_OBJECTID.value = callsign;
  }

  std::optional<std::string> storedString(std::string_view key) const {
    pugi::xml_document document;
    if (!document.load_file(parametersFile().c_str())) {
      return std::nullopt;
    }
    return gf_getStringParameter(document, key);
  }

  ui::Handle hwnd = ui::noHandle;
};

}  // namespace cvl::test

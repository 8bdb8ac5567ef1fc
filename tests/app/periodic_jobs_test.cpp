#include "app/periodic_jobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "app/run_loop.h"
#include "app/status_line.h"
#include "app/user_position.h"
#include "engine/aircraft_lists.h"
#include "engine/engine_state.h"
#include "engine/feed_time.h"
#include "engine/no_match_set.h"
#include "engine/tick_count.h"
#include "foundation/settings_upgrade.h"
#include "foundation/strings.h"
#include "main_window_fixture.h"
#include "parking/park_airport_list.h"
#include "platform/ui/user_input.h"
#include "simlink/user_aircraft.h"
#include "trafficin/traffic_queue.h"
#include "trafficin/traffic_reader.h"

namespace cvl::test {
namespace {

// Degrees of latitude of a distance in nautical miles.
constexpr double degreesOf(double nm) {
  return nm / 60.0;
}

class PeriodicJobs : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    userPosition = {};
    userPosition.latitude = 50.0;
    userPosition.longitude = 8.0;
  }
  void TearDown() override {
    gf_resetPeriodicJobs();
    liveAcs.clear();
    staticAcs.clear();
    sameRegCheckQueue.clear();
    removalBacklog.clear();
    noMatchSet.clear();
    parkAirports.clear();
    selectedObjectId = 0;
    userPosition = {};
    userOnGround = false;
    userHalfSpanNm = 0.0;
    notRunningNoted = false;
    tickCount = 0;
    gf_resetFeedTime();
    parkAirportFileLoaded = false;
    trafficReader.recordCallsigns = false;
    {
      const std::lock_guard lock{trafficQueueMutex};
      acceptTraffic = false;
    }
    MainWindowTest::TearDown();
  }

  static LiveAc& addLive(const std::string& callsign, std::uint32_t hexid) {
    addLiveAircraft(callsign, AcState::active, AcPhase::taxi);
    LiveAc& aircraft = liveAcs.back();
    aircraft.hexid = hexid;
    aircraft.objectId = hexid - 10000;
    aircraft.halfSpan = 0.02;
    aircraft.simPos.lat = 51.0;
    aircraft.simPos.lon = 8.0;
    return aircraft;
  }

  static StaticAc& addStatic(const std::string& callsign, double lat, double lon) {
    IdentityTexts texts;
    texts.callsign = callsign;
    AcIdentity identity{texts};
    identity.hexid = static_cast<std::uint32_t>(staticAcs.size() + 1);
    StaticAc aircraft{identity, 1, StandPlace{lat, lon, 0.0}, false};
    aircraft.state = AcState::active;
    aircraft.objectId = 900 + identity.hexid;
    aircraft.halfSpan = 0.02;
    return staticAcs.emplace_back(std::move(aircraft));
  }
};

TEST_F(PeriodicJobs, AStatusLineStandsFor25Beats) {
  openMainWindow();
  mainWindow.statusSeconds = 100;
  gf_setStatusLine("Parking adjustments", false);
  for (int beat = 0; beat < 24; ++beat) {
    lf_perSecond();
  }
  EXPECT_EQ(gf_statusText(), "Parking adjustments");
  lf_perSecond();
  EXPECT_EQ(gf_statusText(), "");
  EXPECT_EQ(tickSeconds, 25);
}

TEST_F(PeriodicJobs, TheFlightResumes) {
  // The aircraft's last report came before the flight stopped; the engine has stepped once since it runs again.
  LiveAc& aircraft = addLive("DLH1", 30000);
  aircraft.lastItemTime = 1'700'000'000.0;
  aircraft.lastItemTick = tickCount;
  ++tickCount;
  notRunningNoted = true;
  lf_perSecond();
  EXPECT_FALSE(notRunningNoted);
  {
    const std::lock_guard lock{trafficQueueMutex};
    EXPECT_TRUE(acceptTraffic);
  }
  EXPECT_NE(logBody().find(" Flight resumed\n"), std::string::npos);
  // The feed ran on while the flight stood still: the aircraft's next report, two minutes on, is taken.
  TrafficItem report;
  report.hexid = aircraft.hexid;
  report.timestamp = aircraft.lastItemTime + 120.0;
  EXPECT_FALSE(gf_isStampedAhead(report, &aircraft));
  EXPECT_EQ(logBody().find("stamped"), std::string::npos);
}

TEST_F(PeriodicJobs, FlushStaticSwitchesInitialLoadOnlyOnWithoutStoringIt) {
  writeParameters(R"(<parameter name="INITIAL_LOAD_ONLY" value="false"/>)");
  addStatic("S1*", 50.1, 8.0);
  INITIAL_LOAD_ONLY.value = false;
  flushStaticRequested = true;
  lf_perSecond();
  EXPECT_EQ(staticAcs.front().state, AcState::removingfromsim);
  EXPECT_TRUE(INITIAL_LOAD_ONLY.value);
  EXPECT_EQ(storedBool("INITIAL_LOAD_ONLY"), false);
  EXPECT_FALSE(flushStaticRequested);
}

TEST_F(PeriodicJobs, TheCallsignListIsRefilledThenTheObjectIdLookedUp) {
  LiveAc& aircraft = addLive("DLH1", 16699);  // object id 0x1a2b
  mainWindow.csOidText = std::string("= old");
  CALLSIGN_2_OBJECTID.value = std::string("DLH1");
  callsignListRefreshRequested = true;
  lf_perSecond();
  EXPECT_EQ(mainWindow.csOidText.get(), "");
  EXPECT_TRUE(csOidRequested);

  lf_perSecond();
  EXPECT_EQ(mainWindow.csOidText.get(), "= " + gf_toHex(0x1a2b));
  EXPECT_EQ(selectedObjectId, 0x1a2bU);

  aircraft.state = AcState::removingfromsim;
  csOidRequested = true;
  lf_perSecond();
  EXPECT_EQ(mainWindow.csOidText.get(), "has left");
}

TEST_F(PeriodicJobs, ALiveAircraftTooCloseToTheUserOnTheGroundIsRemoved) {
  userOnGround = true;
  userHalfSpanNm = 0.02;
  LiveAc& atFiftyThousandths = addLive("AT050", 20001);
  atFiftyThousandths.onGround = true;
  atFiftyThousandths.simPos.lat = 50.0 + degreesOf(0.05);
  atFiftyThousandths.simPos.lon = 8.0;
  lf_perSecond();
  EXPECT_EQ(liveAcs[0].state, AcState::active);  // 0.04 x 1.15 = 0.046 nm

  liveAcs[0].simPos.lat = 50.0 + degreesOf(0.045);
  lf_perSecond();
  EXPECT_EQ(liveAcs[0].state, AcState::removingfromsim);
}

TEST_F(PeriodicJobs, StaticAircraftNearTheUserAreCheckedWhenTheUserMoves) {
  userOnGround = true;
  userHalfSpanNm = 0.02;
  lastStaticCheckPosition = {50.0, 8.0};
  addStatic("S1*", 50.0 + degreesOf(0.03), 8.0);
  lf_perSecond();
  EXPECT_EQ(staticAcs[0].state, AcState::active);

  userPosition.latitude = 50.0 + degreesOf(0.001);
  lf_perSecond();
  EXPECT_EQ(staticAcs[0].state, AcState::removingfromsim);
}

TEST_F(PeriodicJobs, ANewAircraftThatHasGoneDoesNotHoldUpTheChecksBehindIt) {
  LiveAc& live = addLive("DLH1", 20001);
  live.registration = "D-AIAA";
  StaticAc& twin = addStatic("X*", 50.5, 8.0);
  twin.registration = "D-AIAA";
  sameRegCheckQueue = {29999, 20001};
  lf_perSecond();
  EXPECT_EQ(sameRegCheckQueue.size(), 1U);
  lf_perSecond();
  EXPECT_TRUE(sameRegCheckQueue.empty());
  EXPECT_TRUE(liveAcs[0].coupledSearched);
  EXPECT_EQ(staticAcs[0].state, AcState::removingfromsim);
}

TEST_F(PeriodicJobs, TheBlockedCallsignGoes) {
  addLive("DLH1", 20001);
  BLOCK_CALLSIGN.value = std::string("DLH1");
  blockRequested = true;
  lf_perSecond();
  EXPECT_EQ(liveAcs[0].state, AcState::removingfromsim);
  EXPECT_FALSE(blockRequested);
}

TEST_F(PeriodicJobs, AReReadWaitsWhileStaticParkingIsBusy) {
  reReadRequested = true;
  staticParkingBusy = true;
  lf_doPendingReRead();
  EXPECT_TRUE(reReadRequested);
  staticParkingBusy = false;
  lf_doPendingReRead();
  EXPECT_FALSE(reReadRequested);
}

TEST_F(PeriodicJobs, TheStaticParkingUpdateRunsInTwoPhases) {
  staticUpdateRequested = true;
  lf_periodicJobs(15);
  EXPECT_TRUE(staticUpdatePhase2);
  EXPECT_TRUE(staticParkingBusy);
  EXPECT_TRUE(trafficReader.recordCallsigns);
  EXPECT_TRUE(staticUpdateRequested);

  {
    const std::lock_guard lock{mainWindow.mutex};
    mainWindow.errorText = "old error";
  }
  lf_periodicJobs(30);
  EXPECT_FALSE(staticUpdatePhase2);
  EXPECT_FALSE(staticUpdateRequested);
  EXPECT_EQ(gf_errorText(), "");
}

TEST_F(PeriodicJobs, EveryTwentyMinutesTheParkingUpdateIsAnnounced) {
  parkAirportFileLoaded = true;
  parkingUpdateCountdown = 2;
  lf_periodicJobs(60);
  EXPECT_EQ(mainWindow.minutesToParkingUpdate, 1);
  EXPECT_FALSE(staticUpdateRequested);
  lf_periodicJobs(120);
  EXPECT_EQ(parkingUpdateCountdown, 20);
  EXPECT_TRUE(staticUpdateRequested);
}

TEST_F(PeriodicJobs, TheDailyReportsRestartTheSecondCounter) {
  noMatchSet = {"DLH A320 D-AIAA"};
  tickSeconds = 1200;
  lf_periodicJobs(1200);
  EXPECT_TRUE(noMatchSet.empty());
  EXPECT_EQ(tickSeconds, 1200);
  tickSeconds = 86400;
  lf_periodicJobs(86400);
  EXPECT_EQ(tickSeconds, 0);
}

TEST_F(PeriodicJobs, TheAutomaticRadius) {
  EXPECT_EQ(lf_autoRangeFor(true, 30000.0, 3.0), 10);
  EXPECT_EQ(lf_autoRangeFor(false, AR_ABOVE_HEIGHT.value + 1.0, 3.0), 100);
  EXPECT_EQ(lf_autoRangeFor(false, AR_ABOVE_HEIGHT.value, 3.0), 40);
  EXPECT_EQ(lf_autoRangeFor(false, AIRP_HEIGHT.value, 3.0), 10);
  EXPECT_EQ(lf_autoRangeFor(false, 0.0, 7.0), 10);
  EXPECT_EQ(lf_autoRangeFor(false, 0.0, 8.6), 10);
  EXPECT_EQ(lf_autoRangeFor(false, 0.0, 12.4), 12);
  EXPECT_EQ(lf_autoRangeFor(false, 0.0, 17.5), 18);
  EXPECT_EQ(lf_autoRangeFor(false, 0.0, 36.4), 35);
  EXPECT_EQ(lf_autoRangeFor(false, 0.0, 37.0), 40);

  parkAirports.push_back({"EDDF", "", 50.0 + degreesOf(12.4), 8.0, 0.0});
  lf_autoRange();
  EXPECT_EQ(RANGE.value, 12);
  parkAirports.clear();
  lf_autoRange();
  EXPECT_EQ(RANGE.value, 40);
}

TEST_F(PeriodicJobs, TheWorkerChoosesTheAutomaticRadiusWhenTheUserSwitchesItOn) {
  openMainWindow();
  RANGE.fillCombo();
  gf_setRange(25);
  AUTO_RANGE.value = false;
  gf_showCheckBox(AUTO_RANGE);
  ui::enable(AUTO_RANGE.hwnd, true);
  const auto rebuildParkAirports = [] {
    parkAirports.clear();
    parkAirports.push_back({"EDDF", "", 50.0 + degreesOf(12.4), 8.0, 0.0});
  };
  const auto clickAutoRange = [] {
    ui::user::click(AUTO_RANGE.hwnd);
    ui::pumpMessages();
  };
  rebuildParkAirports();

  clickAutoRange();
  EXPECT_EQ(RANGE.value, 25) << "the window's thread leaves the park airports to the worker";
  EXPECT_FALSE(ui::isEnabled(RANGE.hwnd));
  lf_perSecond();
  EXPECT_EQ(RANGE.value, 12);

  // The user works the box while the worker rebuilds the list and serves its requests.
  std::atomic<bool> working{true};
  std::thread worker{[&working, &rebuildParkAirports] {
    while (working) {
      rebuildParkAirports();
      lf_perSecond();
    }
  }};
  for (int click = 0; click < 100; ++click) {
    clickAutoRange();
  }
  working = false;
  worker.join();
  EXPECT_TRUE(AUTO_RANGE.value);
  lf_perSecond();
  EXPECT_EQ(RANGE.value, 12);

  // Off, and the range chosen by hand back at its default for the tests that follow.
  clickAutoRange();
  gf_setRange(RANGE.defaultValue);
  clickAutoRange();
  clickAutoRange();
  EXPECT_EQ(RANGE.value, RANGE.defaultValue);
}

}  // namespace
}  // namespace cvl::test

#include <gtest/gtest.h>

#include "engine/stand_arrival.h"
#include "liveries/regcode_titles.h"
#include "parking/park_airport_switch.h"
#include "parking/park_airports.h"
#include "parking/parking_adjustments.h"
#include "parking/static_calculation.h"
#include "parking_tick_fixture.h"

namespace cvl::test {
namespace {

// Stands passing from one aircraft to the next: live aircraft leaving them, static aircraft replaced, a new park
// airport. Monday 05:00, stands A1 and A2 500 m apart, liveries for D-AIZA and D-AIZB.
class StandHandover : public ParkingTick {
 protected:
  void SetUp() override {
    ParkingTick::SetUp();
    RegcodeTitleMap = {{"D-AIZA", "Lufthansa A320"}, {"D-AIZB", "CityLine A320"}};
    first_ = &addStand("A1", 0.0);
    second_ = &addStand("A2", 500.0);
    setNow(at(1, 10));
    parking_percentage.value = 100;
  }

  ParkPos* first_ = nullptr;
  ParkPos* second_ = nullptr;
};

TEST_F(StandHandover, ALiveAircraftPushingBackKeepsItsStandAndItsFlightFromStaticParking) {
  // DLH2 leaves A1 by push-back. A1 is D-AIZB's stand at this hour, and D-AIZA, which flies DLH2, stood on A2.
  addOption(*first_, "D-AIZB", "A320", 1, slots({10}), "DLH5");
  addOption(*second_, "D-AIZA", "A320", 1, slots({10}), "DLH1", "DLH2");
  LiveAc& departing = parkedOn(*first_, "DLH2", "D-AIZA");
  reportAway(departing, 180.0, 100.0, 30.0);
  ticks(50);
  ASSERT_EQ(departing.phase, AcPhase::pushing_back);

  // A static aircraft chosen for A1 before the push-back began is not put under it.
  parkedEntries.push_back(entryOf(*first_, "DLH5", "", "D-AIZB", true));
  ticks(100);
  EXPECT_NE(log_.body().find("A1      : no static parking for DLH5, live aircraft DLH2 standing here"),
            std::string::npos);

  // Pushed back it still holds A1 for the adjustment, and its flight is still here.
  while (departing.phase == AcPhase::pushing_back && tickCount < 10000) {
    ticks(1);
  }
  ASSERT_EQ(departing.phase, AcPhase::pushed_back);
  gf_parkingAdjustments();
  EXPECT_TRUE(parkedEntries.empty());
  ticks(200);
  EXPECT_TRUE(simSendQueues.creations.empty());

  // Once it taxis away, A1 is free for the next adjustment.
  reportAway(departing, 180.0, 300.0, 30.0);
  ticks(2);
  ASSERT_EQ(departing.phase, AcPhase::taxi);
  gf_parkingAdjustments();
  ticks(200);
  EXPECT_EQ(creationsAt(*first_), 1U);
}

TEST_F(StandHandover, AnAircraftDrivingOntoAStandWhenTheParkAirportChangesGoesWithTheOldAirport) {
  AirportList = {Airport{"EDDF", "FRA", baseLat, baseLon, 364.0, 0},
                 Airport{"EDDK", "CGN", baseLat + 0.5, baseLon, 302.0, 0}};
  ASSERT_TRUE(lf_setParkAirport("EDDF"));
  // DLH1 drives onto A1, the first stand of EDDF, when the user's park airport becomes EDDK.
  LiveAc& arriving = parkedOn(*first_, "DLH1", "D-AIZA");
  arriving.phase = AcPhase::parking;
  arriving.stream.front().lat -= latDegrees(30.0);
  arriving.simPos.lat = arriving.stream.front().lat;
  drive2Stand(arriving, {first_->latitude, first_->longitude, 0.0});
  const std::uint32_t arrivingObject = arriving.objectId;
  ticks(10);
  ASSERT_EQ(arriving.phase, AcPhase::parking);

  gf_removeStaticParked();
  ASSERT_TRUE(lf_setParkAirport("EDDK"));
  ParkPos& cologne = addStand("K1", 55560.0);
  ASSERT_EQ(cologne.sid, first_->sid);
  addOption(cologne, "D-AIZB", "A320", 1, slots({10}), "DLH5");
  lf_calcStaticParked();
  ticks(3000);

  // It does not take EDDK's first stand for its own, there or in what is learned of it.
  EXPECT_EQ(std::count(simSendQueues.removals.begin(), simSendQueues.removals.end(), arrivingObject), 1);
  EXPECT_EQ(creationsAt(cologne), 1U);
  EXPECT_EQ(cologne.options.size(), 1U);
}

TEST_F(StandHandover, AStaticAircraftReplacedByTheAdjustmentMakesWayForTheNextOnItsStand) {
  // D-AIZB stood on A1 until 02:00; at 05:00 it is D-AIZA's stand.
  addOption(*first_, "D-AIZB", "A320", 1, slotRange(2, 4), "DLH5");
  addOption(*first_, "D-AIZA", "A320", 1, slots({10}), "DLH1");
  StaticAc& leaving = addStatic("DLH5*", *first_, "A320", "D-AIZB");
  leaving.parkedSince = at(1, 2);
  const std::uint32_t leavingObject = leaving.objectId;
  gf_parkingAdjustments();

  // The old one's removal reaches the simulator first, the new one's creation follows within the minute.
  const auto removed = [&] {
    return std::count(simSendQueues.removals.begin(), simSendQueues.removals.end(), leavingObject) == 1;
  };
  while (simSendQueues.creations.empty() && tickCount < 6000) {
    ticks(1);
  }
  EXPECT_TRUE(removed());
  ASSERT_EQ(creationsAt(*first_), 1U);
  EXPECT_EQ(simSendQueues.creations.front().callsign, "DLH1*");
}

}  // namespace
}  // namespace cvl::test

#include <gtest/gtest.h>

#include "liveries/regcode_titles.h"
#include "parking/parking_adjustments.h"
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

}  // namespace
}  // namespace cvl::test

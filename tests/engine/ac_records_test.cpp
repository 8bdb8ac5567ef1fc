#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ac_enums.h"
#include "engine/ac_labels.h"
#include "engine/live_ac.h"
#include "engine/parked_controls.h"
#include "foundation/constants.h"
#include "foundation/random.h"
#include "foundation/settings_catalogue.h"
#include "refdata/aircraft_database.h"
#include "trafficin/traffic_item.h"

namespace cvl {
namespace {

constexpr double degree = 0.017453292519943295;

// A small type table: one type for each category but Light.
class AcRecords : public ::testing::Test {
 protected:
  void SetUp() override {
    LargeTypes = {"A320"};
    HeavyTypes = {"B77W"};
    BuzjetTypes = {"C56X"};
    RotorcraftTypes = {"EC35"};
    HighPerfTypes = {"F16"};
    HalfWingspanTable.byType = {{"A320", 0.0096652}};
    HalfWingspanTable.categoryAverage = {0.003, 0.006, 0.0095, 0.016, 0.004, 0.002};
  }
  void TearDown() override {
    LargeTypes.clear();
    HeavyTypes.clear();
    BuzjetTypes.clear();
    RotorcraftTypes.clear();
    HighPerfTypes.clear();
    HalfWingspanTable = {};
    RANDOM.value = true;
    NAV_LIGHTS_WHILE_PARKED.value = false;
  }

  static AcIdentity identityOfType(const std::string& type) {
    IdentityTexts texts;
    texts.type = type;
    return AcIdentity(texts);
  }
};

TEST_F(AcRecords, NamesOfEveryValueAndNoneForOthers) {
  EXPECT_EQ(categoryName(AcCategory::Buzjets), "Buzjets");
  EXPECT_EQ(categoryName(AcCategory::Rotorcraft), "Rotorcraft");
  EXPECT_EQ(stateName(AcState::adding2sim), "adding2sim");
  EXPECT_EQ(stateName(AcState::removingfromsim), "removingfromsim");
  EXPECT_EQ(phaseName(AcPhase::pushing_back), "pushing_back");
  EXPECT_EQ(phaseName(AcPhase::birth), "birth");
  EXPECT_THROW(categoryName(static_cast<AcCategory>(6)), std::out_of_range);
  EXPECT_THROW(stateName(static_cast<AcState>(5)), std::out_of_range);
  EXPECT_THROW(phaseName(static_cast<AcPhase>(8)), std::out_of_range);
}

TEST_F(AcRecords, AnIdentityTakesTheItemsTextsAndItsTypesValues) {
  TrafficItem item;
  item.type = "A320";
  item.callsign = "BAW123";
  item.registration = "G-EUPT";
  item.origin = "LHR";
  item.hexid = 4840000;

  const AcIdentity identity(item);

  EXPECT_EQ(identity.callsign, "BAW123");
  EXPECT_EQ(identity.registration, "G-EUPT");
  EXPECT_EQ(identity.origin, "LHR");
  EXPECT_TRUE(item.callsign.empty());  // moved, not copied
  EXPECT_TRUE(item.type.empty());
  EXPECT_EQ(identity.category, AcCategory::Large);
  EXPECT_DOUBLE_EQ(identity.halfSpan, 0.0096652);
  EXPECT_EQ(identity.hexid, 0U);  // the engine gives it the item's hexid
  EXPECT_TRUE(identity.liveryTitle.empty());
}

TEST_F(AcRecords, TickCountsAreTheCategorysAndPitchesVaryWithinTheirBand) {
  struct Expected {
    std::string type;
    std::uint32_t flare, onGround, roll, rotate;
    double rotationPitch, climbPitch, turnStep;
  };
  const std::vector<Expected> table{
      {"C172", 250, 250, 100, 200, -9.0, -15.0, 0.15}, {"C56X", 300, 300, 200, 250, -8.0, -18.0, 0.1},
      {"A320", 400, 350, 200, 300, -6.0, -16.5, 0.07}, {"B77W", 450, 450, 250, 400, -5.0, -12.5, 0.05},
      {"F16", 150, 150, 100, 200, -6.0, -20.0, 0.1},   {"EC35", 100, 100, 100, 100, -20.0, -30.0, 0.2},
  };
  RANDOM.value = true;
  for (const auto& row : table) {
    SCOPED_TRACE(row.type);
    for (int draw = 0; draw < 20; ++draw) {
      const AcIdentity identity = identityOfType(row.type);
      EXPECT_EQ(identity.flareTicks, row.flare);
      EXPECT_EQ(identity.onGroundSlots, row.onGround);
      EXPECT_EQ(identity.rollTicks, row.roll);
      EXPECT_EQ(identity.rotateTicks, row.rotate);
      EXPECT_NEAR(identity.turnStep, row.turnStep * degree, 1e-15);
      const double rotation = identity.rotationPitch / degree;
      const double climb = identity.climbPitch / degree;
      EXPECT_NEAR(std::abs(rotation - row.rotationPitch), std::abs(row.rotationPitch) * 0.025, 1e-9);
      EXPECT_NEAR(std::abs(climb - row.climbPitch), std::abs(row.climbPitch) * 0.05, 1e-9);
    }
  }
}

TEST_F(AcRecords, AStaticAircraftStandsWhereItWasPutAndALiveOneIsBorn) {
  AcIdentity identity = identityOfType("A320");
  identity.callsign = "KLM1234";
  identity.liveryTitle = "KLM livery";
  StaticAc parked(identity, 17, StandPlace{52.3, 4.76, 1.5}, true);

  EXPECT_EQ(parked.callsign, "KLM1234");
  EXPECT_TRUE(identity.callsign.empty());
  EXPECT_EQ(parked.liveryTitle, "KLM livery");
  EXPECT_EQ(parked.standId, 17U);
  EXPECT_DOUBLE_EQ(parked.standHeading, 1.5);
  EXPECT_TRUE(parked.standCargo);
  EXPECT_EQ(parked.state, AcState::buffer);
  EXPECT_EQ(parked.throttleLevel, 5U);
  EXPECT_EQ(parked.flapsIndex, 4U);

  AcIdentity liveIdentity = identityOfType("A320");
  TimedPosition first;
  first.lat = 52.0;
  const LiveAc live(liveIdentity, first, 1700000000.5);
  EXPECT_EQ(live.standId, 0U);
  EXPECT_FALSE(live.standCargo);
  ASSERT_EQ(live.stream.size(), 1U);
  EXPECT_DOUBLE_EQ(live.stream.front().lat, 52.0);
  EXPECT_DOUBLE_EQ(live.lastItemTime, 1700000000.5);
  EXPECT_EQ(live.phase, AcPhase::birth);
  EXPECT_EQ(live.prevPhase, AcPhase::birth);
  EXPECT_EQ(live.dueBehind, 1000);
  EXPECT_EQ(live.phaseCounter, 1);
  EXPECT_DOUBLE_EQ(live.heightAgl, 2500.0);
  EXPECT_TRUE(std::isnan(live.curveCtrl.east) && std::isnan(live.curveCtrl.north));
}

TEST_F(AcRecords, LabelsKeepTheirColumns) {
  IdentityTexts aircraft;
  aircraft.callsign = "BAW123";
  aircraft.registration = "G-EUPT";
  aircraft.airline = "BAW";
  aircraft.type = "A320";

  EXPECT_EQ(lf_routeText(aircraft), "        ");
  EXPECT_EQ(gf_acLabel(aircraft), "BAW123   G-EUPT            BAW A320");
  aircraft.origin = "LHR";
  aircraft.destination = "EDI";
  EXPECT_EQ(gf_acLabel(aircraft), "BAW123   G-EUPT   LHR->EDI BAW A320");
  EXPECT_EQ(gf_acRegLabel(aircraft), "BAW123   G-EUPT BAW A320");
  EXPECT_EQ(lf_keyText(aircraft), "BAW A320 G-EUPT");
  EXPECT_EQ(formatPosition(0.00005, -0.00005), "0.000050,-0.000050");
}

TEST_F(AcRecords, CallsignsAndTheirAirlines) {
  IdentityTexts aircraft;
  for (const auto& [callsign, valid] : std::vector<std::pair<std::string, bool>>{
           {"ABCD1234", true}, {"ABCD12345", false}, {"@@@@@@@@", false}, {"", false}}) {
    aircraft.callsign = callsign;
    EXPECT_EQ(lf_isValidCallsign(aircraft), valid) << callsign;
  }
  EXPECT_EQ(lf_airlineFromCallsign("baw123"), "BAW");
  EXPECT_EQ(lf_airlineFromCallsign("BA123"), std::nullopt);
  EXPECT_EQ(lf_airlineFromCallsign("BAWX"), std::nullopt);
  EXPECT_EQ(lf_airlineFromCallsign("BAW"), std::nullopt);

  aircraft.airline = "OLD";
  aircraft.callsign = "BA123";
  EXPECT_FALSE(lf_setAirlineFromCallsign(aircraft));
  EXPECT_EQ(aircraft.airline, "OLD");
  aircraft.callsign = "klm5";
  EXPECT_TRUE(lf_setAirlineFromCallsign(aircraft));
  EXPECT_EQ(aircraft.airline, "KLM");
}

TEST_F(AcRecords, AStandOptionMatchesByCallsignOrByAirlineAndType) {
  struct Option {
    std::uint32_t id = 1;
    bool real = true;
    std::string callsign, callsign2, airline, type;
  };
  IdentityTexts identity;
  identity.airline = "KLM";
  identity.type = "B738";
  const Option byCallsign{1, true, "KLM1", "KLM2", "DLH", "A320"};
  EXPECT_TRUE(lf_standOptionMatches("KLM2", identity, byCallsign));
  EXPECT_FALSE(lf_standOptionMatches("KLM3", identity, byCallsign));
  EXPECT_TRUE(lf_standOptionMatches("KLM3", identity, Option{1, true, "X", "Y", "KLM", "B738"}));
  EXPECT_FALSE(lf_standOptionMatches("KLM1", identity, Option{0, true, "KLM1", "", "KLM", "B738"}));
  EXPECT_FALSE(lf_standOptionMatches("KLM1", identity, Option{1, false, "KLM1", "", "KLM", "B738"}));
}

TEST_F(AcRecords, ParkedControlsIdleTheAircraftAndSetTheParkedLights) {
  AcIdentity identity = identityOfType("A320");
  StaticAc aircraft(identity, 3, StandPlace{}, false);
  aircraft.throttleLevel = 3;
  aircraft.flapsIndex = 2;
  RANDOM.value = false;
  NAV_LIGHTS_WHILE_PARKED.value = true;

  lf_resetAcControls(aircraft);

  EXPECT_EQ(aircraft.throttleLevel, 0U);
  EXPECT_EQ(aircraft.flapsIndex, 0U);
  EXPECT_EQ(lf_parkedLights(aircraft), (std::array<std::uint32_t, 7>{1, 0, 0, 0, 0, 1, 1}));
  NAV_LIGHTS_WHILE_PARKED.value = false;
  aircraft.standCargo = true;
  EXPECT_EQ(lf_parkedLights(aircraft), (std::array<std::uint32_t, 7>{0, 0, 0, 0, 0, 1, 0}));
}

TEST_F(AcRecords, WithRandomOnTheCabinOfAPassengerStandStaysDarkOneTimeInTen) {
  AcIdentity identity = identityOfType("A320");
  const StaticAc aircraft(identity, 3, StandPlace{}, false);
  RANDOM.value = true;
  gf_reseedRandomEngine(7);
  int dark = 0;
  for (int draw = 0; draw < 1000; ++draw) {
    dark += lf_parkedLights(aircraft)[6] == 0 ? 1 : 0;
  }
  EXPECT_GT(dark, 50);
  EXPECT_LT(dark, 150);
}

}  // namespace
}  // namespace cvl

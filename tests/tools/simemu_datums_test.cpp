#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <numbers>

#include "simemu/datums.h"
#include "simemu/sim_events.h"

namespace cvl::simemu {
namespace {

std::vector<Datum> definition(std::initializer_list<std::tuple<const char*, const char*, SIMCONNECT_DATATYPE>> datums) {
  std::vector<Datum> result;
  for (const auto& [name, units, type] : datums) {
    const auto declared = declareDatum(name, units, type);
    EXPECT_FALSE(declared.fault) << name;
    result.push_back(*declared.datum);
  }
  return result;
}

template <class T>
T at(const simconnect::Frame& block, std::size_t offset) {
  T value{};
  std::memcpy(&value, block.data() + offset, sizeof(T));
  return value;
}

const WorldView world{364, 0};

TEST(SimemuDatums, ValuesAreGivenInTheDeclaredUnitsAndTypes) {
  SimObject object;
  object.headingDeg = 180;
  object.altitudeFt = 1364;
  object.verticalSpeedFps = 10;
  object.throttlePct = {25, 75, 0, 0};
  const auto block = encodeBlock(
      definition({{"plane heading degrees true", "radians", SIMCONNECT_DATATYPE_FLOAT64},
                  {"PLANE ALTITUDE", "meters", SIMCONNECT_DATATYPE_FLOAT32},
                  {"PLANE ALT ABOVE GROUND", "feet", SIMCONNECT_DATATYPE_INT32},
                  {"VERTICAL SPEED", "feet per minute", SIMCONNECT_DATATYPE_INT64},
                  {"GENERAL ENG THROTTLE LEVER POSITION:2", "percent over 100", SIMCONNECT_DATATYPE_FLOAT64}}),
      object, world);
  ASSERT_EQ(block.size(), 8u + 4 + 4 + 8 + 8);
  EXPECT_DOUBLE_EQ(at<double>(block, 0), std::numbers::pi);
  EXPECT_FLOAT_EQ(at<float>(block, 8), 1364 * 0.3048f);
  EXPECT_EQ(at<std::int32_t>(block, 12), 1000);
  EXPECT_EQ(at<std::int64_t>(block, 16), 600);
  EXPECT_DOUBLE_EQ(at<double>(block, 24), 0.75);
}

TEST(SimemuDatums, TextsAreCutToTheirFieldOrCarriedWhole) {
  SimObject object;
  object.tail = std::string(40, 'X');
  object.title = "Airbus";
  const auto block = encodeBlock(definition({{"ATC ID", "", SIMCONNECT_DATATYPE_STRING32},
                                             {"TITLE", "none", SIMCONNECT_DATATYPE_STRINGV},
                                             {"ATC MODEL", "", SIMCONNECT_DATATYPE_STRING8}}),
                                 object, world);
  ASSERT_EQ(block.size(), 32u + 7 + 8);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data())), std::string(31, 'X'));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data() + 32)), "Airbus");
  EXPECT_EQ(block.back(), std::byte{0});
}

TEST(SimemuDatums, NumbersBeyondAnIntegerTypeAreClampedNotWrapped) {
  SimObject object;
  object.altitudeFt = 1e12;
  object.verticalSpeedFps = std::numeric_limits<double>::quiet_NaN();
  const auto block = encodeBlock(definition({{"PLANE ALTITUDE", "feet", SIMCONNECT_DATATYPE_INT32},
                                             {"VERTICAL SPEED", "feet per second", SIMCONNECT_DATATYPE_INT32}}),
                                 object, world);
  EXPECT_EQ(at<std::int32_t>(block, 0), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(at<std::int32_t>(block, 4), 0);
}

TEST(SimemuDatums, DeclarationsTheSimulatorCannotServeAreTold) {
  EXPECT_EQ(declareDatum("PLANE WARP FACTOR", "number", SIMCONNECT_DATATYPE_FLOAT64).fault, DatumFault::unknownName);
  EXPECT_EQ(declareDatum("PLANE ALTITUDE", "furlongs", SIMCONNECT_DATATYPE_FLOAT64).fault, DatumFault::unknownUnits);
  EXPECT_EQ(declareDatum("PLANE ALTITUDE", "knots", SIMCONNECT_DATATYPE_FLOAT64).fault, DatumFault::unknownUnits);
  EXPECT_EQ(declareDatum("TITLE", "", SIMCONNECT_DATATYPE_FLOAT64).fault, DatumFault::wrongType);
  const auto noPlace = declareDatum("PLANE ALTITUDE", "feet", static_cast<SIMCONNECT_DATATYPE>(99));
  EXPECT_EQ(noPlace.fault, DatumFault::wrongType);
  EXPECT_FALSE(noPlace.datum);
}

TEST(SimemuDatums, ABlockIsTakenOnlyWhenItHasTheDefinitionsLayout) {
  const auto controls = definition({{"SPOILERS HANDLE POSITION", "percent", SIMCONNECT_DATATYPE_FLOAT64},
                                    {"GENERAL ENG THROTTLE LEVER POSITION:1", "percent", SIMCONNECT_DATATYPE_FLOAT64},
                                    {"TITLE", "", SIMCONNECT_DATATYPE_STRINGV}});
  SimObject object;
  const double values[2] = {100, 42};
  simconnect::Frame block(sizeof(values));
  std::memcpy(block.data(), values, sizeof(values));
  EXPECT_FALSE(applyBlock(controls, block, object, world));  // the title's terminating NUL is missing
  EXPECT_DOUBLE_EQ(object.spoilersPct, 0);

  block.push_back(std::byte{0});
  EXPECT_TRUE(applyBlock(controls, block, object, world));
  EXPECT_DOUBLE_EQ(object.spoilersPct, 100);
  EXPECT_DOUBLE_EQ(object.throttlePct[0], 42);

  block.push_back(std::byte{0});
  EXPECT_FALSE(applyBlock(controls, block, object, world));
}

TEST(SimemuEvents, LightsFollowTheirEventsAndAllLightsToggles) {
  SimObject object;
  applySimEvent("NAV_LIGHTS_SET", 1, object);
  applySimEvent("LANDING_LIGHTS_SET", 1, object);
  applySimEvent("LANDING_LIGHTS_SET", 0, object);
  EXPECT_EQ(object.lights, lightNav);
  applySimEvent("ALL_LIGHTS_TOGGLE", 0, object);
  EXPECT_EQ(object.lights, 0u);
  applySimEvent("ALL_LIGHTS_TOGGLE", 0, object);
  EXPECT_EQ(object.lights, lightNav | lightBeacon | lightLanding | lightTaxi | lightStrobe | lightLogo | lightCabin);
  EXPECT_EQ(object.lastEvents.at("LANDING_LIGHTS_SET"), 0u);
  EXPECT_EQ(knownSimEvent("gear_set"), "GEAR_SET");
  EXPECT_EQ(knownSimEvent("WARP_DRIVE_SET"), "");
}

}  // namespace
}  // namespace cvl::simemu

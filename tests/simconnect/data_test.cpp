#include <gtest/gtest.h>

#include <cstring>
#include <numbers>
#include <string>

#include "emulated_simulator.h"

namespace cvl::test {
namespace {

constexpr double degreesPerRadian = 180.0 / std::numbers::pi;

struct UserAircraft {
  double latitude, longitude, pitch, bank, heading, altitude, altitudeAboveGround, groundVelocity;
  std::int64_t zuluTime, zuluDayOfYear, zuluYear, lightStates;
};
static_assert(sizeof(UserAircraft) == 96);

template <class Block>
Block blockAs(const Message& message) {
  const auto bytes = message.block();
  EXPECT_EQ(bytes.size(), sizeof(Block));
  Block block{};
  std::memcpy(&block, bytes.data(), std::min(bytes.size(), sizeof(Block)));
  return block;
}

class Data : public ::testing::Test {
 protected:
  Data() { client.dispatch(); }

  void declare(std::uint32_t definition, const char* datum, const char* units, SIMCONNECT_DATATYPE type) {
    ASSERT_TRUE(SUCCEEDED(SimConnect_AddToDataDefinition(client.handle(), definition, datum, units, type)));
  }
  void request(std::uint32_t requestId, std::uint32_t definition, SIMCONNECT_PERIOD period) {
    ASSERT_TRUE(SUCCEEDED(
        SimConnect_RequestDataOnSimObject(client.handle(), requestId, definition, SIMCONNECT_OBJECT_ID_USER, period)));
  }
  std::vector<Message> replies() { return allOf(client.dispatch(), SIMCONNECT_RECV_ID_SIMOBJECT_DATA); }

  InProcessEmulator emulator;
  Client client;
};

TEST_F(Data, TitleAndModelArriveAsTheirStringTypes) {
  declare(407, "TITLE", nullptr, SIMCONNECT_DATATYPE_STRINGV);
  declare(408, "ATC MODEL", nullptr, SIMCONNECT_DATATYPE_STRING32);
  request(106, 407, SIMCONNECT_PERIOD_ONCE);
  request(107, 408, SIMCONNECT_PERIOD_ONCE);

  const auto data = replies();
  ASSERT_EQ(data.size(), 2u);
  const auto title = data[0].record<SIMCONNECT_RECV_SIMOBJECT_DATA>();
  EXPECT_EQ(title.dwRequestID, 106u);
  EXPECT_EQ(title.dwDefineID, 407u);
  EXPECT_EQ(title.dwObjectID, 1u);  // the user aircraft's own id, not 0
  const std::string expectedTitle = emulator->state()["user"]["title"];
  const auto titleBlock = data[0].block();
  ASSERT_EQ(titleBlock.size(), expectedTitle.size() + 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(titleBlock.data())), expectedTitle);

  const auto model = blockAs<std::array<char, 32>>(data[1]);
  EXPECT_EQ(std::string(model.data()), "A320");
}

TEST_F(Data, APositionBlockIsLaidOutInDeclarationOrderAndUnits) {
  for (const auto* angle : {"Plane Latitude", "Plane Longitude"}) {
    declare(403, angle, "degree", SIMCONNECT_DATATYPE_FLOAT64);
  }
  for (const auto* angle : {"Plane Pitch degrees", "Plane Bank degrees", "Plane Heading degrees true"}) {
    declare(403, angle, "radians", SIMCONNECT_DATATYPE_FLOAT64);
  }
  declare(403, "Plane Altitude", "feet", SIMCONNECT_DATATYPE_FLOAT64);
  declare(403, "Plane Alt Above Ground", "feet", SIMCONNECT_DATATYPE_FLOAT64);
  declare(403, "Ground Velocity", "knots", SIMCONNECT_DATATYPE_FLOAT64);
  declare(403, "ZULU TIME", "Seconds", SIMCONNECT_DATATYPE_INT64);
  declare(403, "ZULU DAY OF YEAR", "Number", SIMCONNECT_DATATYPE_INT64);
  declare(403, "ZULU YEAR", "Number", SIMCONNECT_DATATYPE_INT64);
  declare(403, "LIGHT STATES", "Mask", SIMCONNECT_DATATYPE_INT64);
  request(109, 403, SIMCONNECT_PERIOD_ONCE);

  const auto data = replies();
  ASSERT_EQ(data.size(), 1u);
  const auto user = blockAs<UserAircraft>(data[0]);
  EXPECT_DOUBLE_EQ(user.latitude, 50.0333);
  EXPECT_DOUBLE_EQ(user.longitude, 8.5706);
  EXPECT_NEAR(user.heading * degreesPerRadian, 250.0, 1e-9);
  EXPECT_DOUBLE_EQ(user.altitude, 364.0);
  EXPECT_DOUBLE_EQ(user.altitudeAboveGround, 0.0);
  EXPECT_EQ(user.zuluTime, 12 * 3600);
  EXPECT_EQ(user.zuluDayOfYear, 61);
  EXPECT_EQ(user.zuluYear, 2024);
}

TEST_F(Data, ARequestEverySecondIsAnsweredUntilEnded) {
  declare(409, "SIM ON GROUND", "Bool", SIMCONNECT_DATATYPE_INT64);
  request(108, 409, SIMCONNECT_PERIOD_SECOND);
  ASSERT_EQ(replies().size(), 1u);

  for (int frame = 0; frame < 29; ++frame) {
    emulator->runFrame(1.0 / 30);
  }
  EXPECT_TRUE(replies().empty());
  emulator->runFrame(1.0 / 30);
  const auto data = replies();
  ASSERT_EQ(data.size(), 1u);
  EXPECT_EQ(blockAs<std::int64_t>(data[0]), 1);
  emulator->runFrame(1.0);
  EXPECT_EQ(replies().size(), 1u);

  request(108, 409, SIMCONNECT_PERIOD_NEVER);
  emulator->runFrame(2.0);
  EXPECT_TRUE(replies().empty());
}

TEST_F(Data, AnUnknownDatumIsRefusedButKeepsItsPlaceInTheBlock) {
  declare(405, "Static CG to Ground", "feet", SIMCONNECT_DATATYPE_FLOAT64);
  declare(405, "Cockpit Coffee Temperature", "celsius", SIMCONNECT_DATATYPE_FLOAT64);
  const auto refusedPacket = client.lastPacketId();
  declare(405, "Static Pitch", "radians", SIMCONNECT_DATATYPE_FLOAT64);
  request(102, 405, SIMCONNECT_PERIOD_ONCE);

  const auto messages = client.dispatch();
  const auto refusal = firstOf(messages, SIMCONNECT_RECV_ID_EXCEPTION);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->record<SIMCONNECT_RECV_EXCEPTION>().dwException, SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED);
  EXPECT_EQ(refusal->record<SIMCONNECT_RECV_EXCEPTION>().dwSendID, refusedPacket);
  const auto data = firstOf(messages, SIMCONNECT_RECV_ID_SIMOBJECT_DATA);
  ASSERT_TRUE(data);
  const auto block = blockAs<std::array<double, 3>>(*data);
  EXPECT_DOUBLE_EQ(block[0], 9.0);
  EXPECT_DOUBLE_EQ(block[1], 0.0);
}

TEST_F(Data, RequestsForUnknownDefinitionsOrObjectsAreRefused) {
  declare(409, "SIM ON GROUND", "Bool", SIMCONNECT_DATATYPE_INT64);
  ASSERT_TRUE(SUCCEEDED(SimConnect_RequestDataOnSimObject(client.handle(), 102, 409, 777, SIMCONNECT_PERIOD_ONCE)));
  const auto unknownObject = client.lastPacketId();
  request(109, 499, SIMCONNECT_PERIOD_ONCE);
  const auto unknownDefinition = client.lastPacketId();

  const auto refusals = allOf(client.dispatch(), SIMCONNECT_RECV_ID_EXCEPTION);
  ASSERT_EQ(refusals.size(), 2u);
  for (const auto& [refusal, packet, argument] :
       {std::tuple{refusals[0], unknownObject, 3u}, std::tuple{refusals[1], unknownDefinition, 2u}}) {
    const auto exception = refusal.record<SIMCONNECT_RECV_EXCEPTION>();
    EXPECT_EQ(exception.dwException, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID);
    EXPECT_EQ(exception.dwSendID, packet);
    EXPECT_EQ(exception.dwIndex, argument);
  }
}

}  // namespace
}  // namespace cvl::test

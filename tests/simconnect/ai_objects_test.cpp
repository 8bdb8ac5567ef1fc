#include <gtest/gtest.h>

#include <cstring>
#include <numbers>
#include <string>
#include <thread>

#include "emulated_simulator.h"
#include "support/temp_folder.h"

namespace cvl::test {
namespace {

struct InRange {
  double altitudeAboveGround;
  double groundAltitude;
  std::int64_t onGround;
  char atcId[32];
};
static_assert(sizeof(InRange) == 56);

struct Position {
  double latitude, longitude, pitch, bank, heading, altitude, verticalSpeed, trueAirspeed;
};

constexpr SIMCONNECT_DATA_INITPOSITION atTheStand{50.0335, 8.5710, 364, 0, 0, 160, 1, 0};

class AiObjects : public ::testing::Test {
 protected:
  AiObjects() {
    for (const auto& [id, name] : {std::pair{202u, "ObjectAdded"}, std::pair{203u, "ObjectRemoved"}}) {
      EXPECT_TRUE(SUCCEEDED(SimConnect_SubscribeToSystemEvent(client.handle(), id, name)));
    }
    for (const auto* datum : {"Plane Alt Above Ground", "Ground Altitude"}) {
      EXPECT_TRUE(SUCCEEDED(SimConnect_AddToDataDefinition(client.handle(), 404, datum, "feet")));
    }
    EXPECT_TRUE(SUCCEEDED(
        SimConnect_AddToDataDefinition(client.handle(), 404, "SIM ON GROUND", "Bool", SIMCONNECT_DATATYPE_INT64)));
    EXPECT_TRUE(SUCCEEDED(
        SimConnect_AddToDataDefinition(client.handle(), 404, "ATC ID", nullptr, SIMCONNECT_DATATYPE_STRING32)));
    client.dispatch();
  }

  // Creates an aircraft and returns the id the ObjectAdded event gave it.
  std::uint32_t create(const char* tail, const SIMCONNECT_DATA_INITPOSITION& position = atTheStand) {
    EXPECT_TRUE(SUCCEEDED(SimConnect_AICreateNonATCAircraft(client.handle(), "Airliner", tail, position, 104)));
    const auto added = firstOf(client.dispatch(), SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE);
    EXPECT_TRUE(added);
    return added ? added->record<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>().dwData : 0;
  }

  nlohmann::json objectState(std::uint32_t id) const {
    const auto state = emulator->state();
    for (const auto& object : state["objects"]) {
      if (object["id"] == id) {
        return object;
      }
    }
    return nullptr;
  }

  SIMCONNECT_RECV_EXCEPTION onlyRefusal() {
    const auto refusals = allOf(client.dispatch(), SIMCONNECT_RECV_ID_EXCEPTION);
    EXPECT_EQ(refusals.size(), 1u);
    return refusals.empty() ? SIMCONNECT_RECV_EXCEPTION{} : refusals[0].record<SIMCONNECT_RECV_EXCEPTION>();
  }

  InProcessEmulator emulator;
  Client client;
};

TEST_F(AiObjects, ACreatedAircraftIsAddedAndThenFoundInRangeByItsTail) {
  ASSERT_TRUE(SUCCEEDED(SimConnect_AICreateNonATCAircraft(client.handle(), "Airliner", "CVL123", atTheStand, 104)));
  const auto messages = client.dispatch();
  const auto assigned = firstOf(messages, SIMCONNECT_RECV_ID_ASSIGNED_OBJECT_ID);
  const auto added = firstOf(messages, SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE);
  ASSERT_TRUE(assigned);
  ASSERT_TRUE(added);
  const auto event = added->record<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>();
  EXPECT_EQ(event.uEventID, 202u);
  EXPECT_EQ(event.eObjType, SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT);
  EXPECT_GT(event.dwData, 1u);
  EXPECT_EQ(assigned->record<SIMCONNECT_RECV_ASSIGNED_OBJECT_ID>().dwObjectID, event.dwData);
  create("FAR1", {51.5, 8.57, 3000, 0, 0, 0, 0, 250});  // about 160 km north

  ASSERT_TRUE(SUCCEEDED(
      SimConnect_RequestDataOnSimObjectType(client.handle(), 101, 404, 50000, SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT)));
  const auto inRange = allOf(client.dispatch(), SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE);
  ASSERT_EQ(inRange.size(), 2u);  // the user aircraft and ours, not the far one
  const auto ours = inRange[1].record<SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE>();
  EXPECT_EQ(ours.dwObjectID, event.dwData);
  EXPECT_EQ(ours.dwRequestID, 101u);
  EXPECT_EQ(ours.dwEntryNumber, 2u);
  EXPECT_EQ(ours.dwOutOf, 2u);
  InRange block{};
  std::memcpy(&block, inRange[1].block().data(), sizeof(block));
  EXPECT_EQ(std::string(block.atcId), "CVL123");
  EXPECT_EQ(block.onGround, 1);
  EXPECT_DOUBLE_EQ(block.groundAltitude, 364.0);

  // Created on the ground without an altitude, as static parked aircraft are: it stands on the ground.
  const auto parked = create("CVL124*", {50.0336, 8.5712, 0, 0, 0, 160, 1, 0});
  EXPECT_DOUBLE_EQ(objectState(parked)["alt"], 364.0);
  EXPECT_DOUBLE_EQ(objectState(parked)["altAboveGround"], 0.0);
  EXPECT_EQ(objectState(parked)["onGround"], true);
}

TEST_F(AiObjects, ARefusedTitleComesBackAsExceptionWithTheCreationsPacketId) {
  ASSERT_TRUE(SUCCEEDED(SimConnect_AICreateNonATCAircraft(client.handle(), "Broken Livery", "CVL9", atTheStand, 104)));
  const auto creation = client.lastPacketId();
  ASSERT_TRUE(SUCCEEDED(SimConnect_AIReleaseControl(client.handle(), 12345, 103)));  // a later request

  const auto messages = client.dispatch();
  EXPECT_FALSE(firstOf(messages, SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE));
  const auto refusals = allOf(messages, SIMCONNECT_RECV_ID_EXCEPTION);
  ASSERT_EQ(refusals.size(), 2u);
  EXPECT_EQ(refusals[0].record<SIMCONNECT_RECV_EXCEPTION>().dwException, SIMCONNECT_EXCEPTION_CREATE_OBJECT_FAILED);
  EXPECT_EQ(refusals[0].record<SIMCONNECT_RECV_EXCEPTION>().dwSendID, creation);
  EXPECT_TRUE(emulator->state()["objects"].empty());
}

// A request from another thread between a creation and the question for its packet id must not take its place.
TEST_F(AiObjects, TheLastPacketIdIsTheCallingThreadsOwn) {
  ASSERT_TRUE(SUCCEEDED(SimConnect_AICreateNonATCAircraft(client.handle(), "Broken Livery", "CVL9", atTheStand, 104)));
  std::thread other([this] { SimConnect_SubscribeToSystemEvent(client.handle(), 204, "Frame"); });
  other.join();
  EXPECT_EQ(onlyRefusal().dwSendID, client.lastPacketId());
}

TEST_F(AiObjects, FlightPlansThatAreMissingOrNotXmlAreRefused) {
  TempFolder folder;
  const auto id = create("CVL7");
  writeFile(folder.path() / "broken.pln", "<SimBase.Document><FlightPlan.FlightPlan>");
  writeFile(folder.path() / "good.pln",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SimBase.Document Type=\"AceXML\" version=\"4,3\">\n"
            "<FlightPlan.FlightPlan>\n<FPType>IFR</FPType>\n<DepartureID>EDDF</DepartureID>\n"
            "<DestinationID>LFPG</DestinationID>\n</FlightPlan.FlightPlan>\n</SimBase.Document>\n\n");

  for (const auto* name : {"missing.pln", "broken.pln"}) {
    const auto path = (folder.path() / name).string();
    ASSERT_TRUE(SUCCEEDED(SimConnect_AISetAircraftFlightPlan(client.handle(), id, path.c_str(), 110)));
    const auto refusal = onlyRefusal();
    EXPECT_EQ(refusal.dwException, SIMCONNECT_EXCEPTION_LOAD_FLIGHTPLAN_FAILED) << name;
    EXPECT_EQ(refusal.dwSendID, client.lastPacketId());
  }

  const auto withoutExtension = (folder.path() / "good").string();
  ASSERT_TRUE(SUCCEEDED(SimConnect_AISetAircraftFlightPlan(client.handle(), id, withoutExtension.c_str(), 110)));
  EXPECT_TRUE(client.dispatch().empty());
  EXPECT_EQ(objectState(id)["flightPlan"]["departure"], "EDDF");
  EXPECT_EQ(objectState(id)["flightPlan"]["destination"], "LFPG");
}

TEST_F(AiObjects, ARemovedObjectIsReportedRemovedAndTheUserCannotBeRemoved) {
  const auto id = create("CVL8");
  ASSERT_TRUE(SUCCEEDED(SimConnect_AIRemoveObject(client.handle(), id, 105)));
  const auto removed = firstOf(client.dispatch(), SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE);
  ASSERT_TRUE(removed);
  EXPECT_EQ(removed->record<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>().uEventID, 203u);
  EXPECT_EQ(removed->record<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>().dwData, id);
  EXPECT_TRUE(emulator->state()["objects"].empty());

  ASSERT_TRUE(SUCCEEDED(SimConnect_AIRemoveObject(client.handle(), SIMCONNECT_OBJECT_ID_USER, 105)));
  EXPECT_EQ(onlyRefusal().dwException, SIMCONNECT_EXCEPTION_OPERATION_INVALID_FOR_OBJECT_TYPE);
  ASSERT_TRUE(SUCCEEDED(SimConnect_AIRemoveObject(client.handle(), id, 105)));
  EXPECT_EQ(onlyRefusal().dwException, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID);
}

TEST_F(AiObjects, SetDataMovesTheObjectAndABlockOfTheWrongSizeIsRefused) {
  const auto id = create("CVL5");
  for (const auto* angle : {"Plane Latitude", "Plane Longitude"}) {
    ASSERT_TRUE(SUCCEEDED(SimConnect_AddToDataDefinition(client.handle(), 402, angle, "degree")));
  }
  for (const auto* angle : {"Plane Pitch degrees", "Plane Bank degrees", "Plane Heading degrees true"}) {
    ASSERT_TRUE(SUCCEEDED(SimConnect_AddToDataDefinition(client.handle(), 402, angle, "radians")));
  }
  ASSERT_TRUE(SUCCEEDED(SimConnect_AddToDataDefinition(client.handle(), 402, "Plane Altitude", "feet")));
  ASSERT_TRUE(SUCCEEDED(SimConnect_AddToDataDefinition(client.handle(), 402, "Vertical Speed", "feet per second")));
  ASSERT_TRUE(SUCCEEDED(SimConnect_AddToDataDefinition(client.handle(), 402, "Airspeed True", "knots")));

  const Position climbing{50.05, 8.60, -0.1, 0, std::numbers::pi / 2, 1364, 20, 160};
  ASSERT_TRUE(SUCCEEDED(SimConnect_SetDataOnSimObject(client.handle(), 402, id, 0, 0, sizeof(climbing), &climbing)));
  EXPECT_TRUE(client.dispatch().empty());
  const auto moved = objectState(id);
  EXPECT_DOUBLE_EQ(moved["lat"], 50.05);
  EXPECT_DOUBLE_EQ(moved["lon"], 8.60);
  EXPECT_NEAR(moved["heading"].get<double>(), 90.0, 1e-9);
  EXPECT_DOUBLE_EQ(moved["alt"], 1364.0);
  EXPECT_EQ(moved["onGround"], false);

  ASSERT_TRUE(SUCCEEDED(SimConnect_SetDataOnSimObject(client.handle(), 402, id, 0, 0, 56, &climbing)));
  EXPECT_EQ(onlyRefusal().dwException, SIMCONNECT_EXCEPTION_INVALID_DATA_SIZE);
  EXPECT_DOUBLE_EQ(objectState(id)["alt"], 1364.0);
}

TEST_F(AiObjects, ClientEventsAreAppliedAndRecordedAndOnlyMappedOnesSent) {
  const auto id = create("CVL4");
  ASSERT_TRUE(SUCCEEDED(SimConnect_MapClientEventToSimEvent(client.handle(), 207, "NAV_LIGHTS_SET")));
  ASSERT_TRUE(SUCCEEDED(SimConnect_MapClientEventToSimEvent(client.handle(), 219, "GEAR_SET")));
  ASSERT_TRUE(SUCCEEDED(SimConnect_MapClientEventToSimEvent(client.handle(), 214, "FREEZE_LATITUDE_LONGITUDE_SET")));

  EXPECT_TRUE(SUCCEEDED(SimConnect_TransmitClientEvent(client.handle(), id, 207, 1, 301, 0)));
  EXPECT_TRUE(SUCCEEDED(SimConnect_TransmitClientEvent(client.handle(), id, 219, 0, 301, 0)));
  EXPECT_TRUE(SUCCEEDED(SimConnect_TransmitClientEvent(client.handle(), id, 214, 1, 301, 0)));
  EXPECT_TRUE(SUCCEEDED(SimConnect_AIReleaseControl(client.handle(), id, 103)));
  EXPECT_TRUE(FAILED(SimConnect_TransmitClientEvent(client.handle(), id, 208, 1, 301, 0)));
  EXPECT_TRUE(client.dispatch().empty());

  const auto object = objectState(id);
  EXPECT_EQ(object["lights"]["nav"], true);
  EXPECT_EQ(object["lights"]["taxi"], false);
  EXPECT_EQ(object["gearDown"], false);
  EXPECT_EQ(object["frozen"]["latLon"], true);
  EXPECT_EQ(object["released"], true);
  EXPECT_EQ(object["lastEvents"]["NAV_LIGHTS_SET"], 1);
  EXPECT_EQ(object["lastEvents"]["GEAR_SET"], 0);
  EXPECT_FALSE(object["lastEvents"].contains("TAXI_LIGHTS_SET"));
}

}  // namespace
}  // namespace cvl::test

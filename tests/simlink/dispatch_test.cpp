#include "simlink/dispatch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/sim_choice.h"
#include "app/status_line.h"
#include "foundation/user_error.h"
#include "link_fixture.h"
#include "simconnect/protocol.h"
#include "simlink/request_error.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"
#include "simlink/sim_results.h"
#include "simlink/user_aircraft.h"

namespace cvl::test {
namespace {

// Hands one message to the dispatch as the library would: decoded from its bytes on the wire.
void deliver(const simconnect::Frame& frame) {
  auto message = simconnect::decodeMessage(frame);
  ASSERT_TRUE(message);
  lf_dispatch(message->record(), message->size(), nullptr);
}

template <class Record>
void deliver(const Record& record) {
  deliver(simconnect::encodeMessage(record));
}

SIMCONNECT_RECV_OPEN openFrom(const char* name) {
  SIMCONNECT_RECV_OPEN open;
  std::strncpy(open.szApplicationName, name, sizeof(open.szApplicationName) - 1);
  open.dwApplicationVersionMajor = 11;
  open.dwApplicationBuildMajor = 1;
  return open;
}

SIMCONNECT_RECV_EVENT eventOf(std::uint32_t id, std::uint32_t data = 0) {
  SIMCONNECT_RECV_EVENT event;
  event.uEventID = id;
  event.dwData = data;
  return event;
}

void placeUserAircraft() {
  UserAcData data;
  data.latitude = 50.0333;
  data.longitude = 8.5706;
  lf_onUserPosition(data, 1);
}

std::string userErrorOf(const SIMCONNECT_RECV_OPEN& open) {
  try {
    deliver(open);
  } catch (const UserErrorException& error) {
    return error.what();
  }
  return "no error";
}

using Dispatch = LinkTest;

TEST_F(Dispatch, TheSimulatorIsKnownByItsLettersDigitsAndSpaces) {
  deliver(openFrom("KittyHawk.\x01"));
  EXPECT_EQ(mainWindow.simNameText.get(), "MSFS 2020 (11.0.1.0)");
  EXPECT_TRUE(mainWindow.simConnectLamp);

  msfs2020Mode = false;
  deliver(openFrom("Sun-Rise\xC3\xA9"));
  EXPECT_EQ(mainWindow.simNameText.get(), "MSFS 2024 (11.0.1.0)");

  // White space around the name, such as a line end, is no part of it.
  mainWindow.simNameText = std::string{};
  deliver(openFrom(" SunRise\n"));
  EXPECT_EQ(mainWindow.simNameText.get(), "MSFS 2024 (11.0.1.0)");
  msfs2020Mode = true;
  mainWindow.simNameText = std::string{};
  deliver(openFrom("KittyHawk\r\n"));
  EXPECT_EQ(mainWindow.simNameText.get(), "MSFS 2020 (11.0.1.0)");
  for (const char* name : {"KittyHawk\v", "\fKittyHawk\f"}) {
    mainWindow.simNameText = std::string{};
    deliver(openFrom(name));
    EXPECT_EQ(mainWindow.simNameText.get(), "MSFS 2020 (11.0.1.0)") << name;
  }
  EXPECT_EQ(userErrorOf(openFrom("Kitty Hawk")), "77: 'Kitty Hawk' not being MSFS 2020 or MSFS 2024 connects ... ?");
}

TEST_F(Dispatch, TheOtherSimulatorAndAnyOtherAreUserErrors) {
  msfs2020Mode = false;
  EXPECT_EQ(userErrorOf(openFrom("KittyHawk")),
            "71: MSFS 2020 is running ..., switch Simulator, or select the right sim in the drop down list above");
  msfs2020Mode = true;
  EXPECT_EQ(userErrorOf(openFrom("SunRise")),
            "71: MSFS 2024 is running ..., switch Simulator, or select the right sim in the drop down list above");
  EXPECT_EQ(userErrorOf(openFrom("Prepar3D v5")), "77: 'Prepar3D v5' not being MSFS 2020 or MSFS 2024 connects ... ?");
  EXPECT_EQ(userErrorOf(openFrom("Kitty\nHawk")), "77: 'Kitty\\nHawk' not being MSFS 2020 or MSFS 2024 connects ... ?");
}

TEST_F(Dispatch, AnEmptyNameIsOnlyLogged) {
  SIMCONNECT_RECV_OPEN open = openFrom("");
  deliver(open);
  EXPECT_TRUE(logged("! Simulator name empty?"));
  EXPECT_FALSE(mainWindow.simConnectLamp);
}

TEST_F(Dispatch, FlightLoadedAndANewFileEndTheCycleAsNewFlight) {
  deliver(eventOf(EVT_FLIGHT_LOADED));
  EXPECT_TRUE(logged("SimConnect: flight loaded event"));
  EXPECT_EQ(exitReason, ExitReason::newFlight);
  EXPECT_EQ(restartDelaySeconds, 45);

  stopRequested = false;
  exitReason = ExitReason::notYetSet;
  deliver(SIMCONNECT_RECV_EVENT_FILENAME{});
  EXPECT_TRUE(logged("==> SimConnect: New file event"));
  EXPECT_EQ(exitReason, ExitReason::newFlight);
}

TEST_F(Dispatch, TheFirstCauseOfAStopStands) {
  gf_onSimConnectRequestError();
  EXPECT_EQ(gf_statusText(), "SimConnect request error");
  EXPECT_TRUE(simConnectFailed);
  deliver(eventOf(EVT_FLIGHT_LOADED));
  EXPECT_EQ(exitReason, ExitReason::simConnectError);
  EXPECT_EQ(restartDelaySeconds, 9);
}

TEST_F(Dispatch, TheFrameRateIsTakenEveryThirtiethFrame) {
  SIMCONNECT_RECV_EVENT_FRAME frame;
  frame.uEventID = EVT_FRAME;
  for (int i = 1; i <= 29; ++i) {
    frame.fFrameRate = static_cast<float>(i);
    deliver(frame);
  }
  EXPECT_EQ(frameRate, 0.0F);
  frame.fFrameRate = 42.0F;
  deliver(frame);
  EXPECT_EQ(frameRate, 42.0F);
  frame.fFrameRate = 12.0F;
  deliver(frame);
  EXPECT_EQ(frameRate, 42.0F);
}

TEST_F(Dispatch, UnknownKindsAreLoggedAndTheIgnoredOnesAreNot) {
  for (const std::uint32_t kind : {12u, 16u, 27u}) {
    SIMCONNECT_RECV bare;
    bare.dwID = kind;
    lf_dispatch(&bare, sizeof(bare), nullptr);
  }
  EXPECT_FALSE(logged("Unknown Dispatch"));
  deliver(simconnect::encodeBareMessage(42));
  EXPECT_TRUE(logged("! Unknown Dispatch dwID 42"));
}

TEST_F(Dispatch, AMessageShorterThanItsRecordIsSkipped) {
  SIMCONNECT_RECV_OPEN open = openFrom("KittyHawk");
  open.dwID = SIMCONNECT_RECV_ID_OPEN;
  lf_dispatch(&open, sizeof(SIMCONNECT_RECV) + 4, nullptr);
  EXPECT_FALSE(mainWindow.simConnectLamp);
  EXPECT_TRUE(logged("! SimConnect message dwID 2 too short"));
  lf_dispatch(nullptr, 0, nullptr);
}

TEST_F(Dispatch, UnrecognizedIdIsLoggedOnlyOnceTheUserAircraftIsPlaced) {
  SIMCONNECT_RECV_EXCEPTION unrecognized;
  unrecognized.dwException = SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID;
  deliver(unrecognized);
  EXPECT_FALSE(logged("SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID"));
  placeUserAircraft();
  deliver(unrecognized);
  EXPECT_TRUE(logged("\nSIMCONNECT_EXCEPTION_UNRECOGNIZED_ID\n"));
}

TEST_F(Dispatch, TheStaticCgReplyIsPostedAndABlockOfTheWrongSizeIsNot) {
  SIMCONNECT_RECV_SIMOBJECT_DATA data;
  data.dwRequestID = REQ_STATIC_CG;
  data.dwObjectID = 300;
  const double block[2] = {8.5, -0.02};
  deliver(simconnect::encodeMessage(data, std::as_bytes(std::span{block})));
  deliver(simconnect::encodeMessage(data, std::as_bytes(std::span{block}).first(12)));
  const auto results = gf_takeSimResults();
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].kind, SimResultKind::staticCg);
  EXPECT_EQ(results[0].objectId, 300u);
  EXPECT_EQ(results[0].value1, 8.5);
  EXPECT_EQ(results[0].value2, -0.02);
  EXPECT_TRUE(logged("! SimConnect data of request 102: 12 bytes, 16 expected"));
}

TEST_F(Dispatch, ABlockLongerThanItsMessageIsNotRead) {
  SIMCONNECT_RECV_SIMOBJECT_DATA data;
  data.dwID = SIMCONNECT_RECV_ID_SIMOBJECT_DATA;
  data.dwRequestID = REQ_USER_ON_GROUND;
  data.dwDataSize = 8;
  lf_dispatch(&data, sizeof(data), nullptr);
  EXPECT_FALSE(oneSecondFlag);
  EXPECT_TRUE(logged("! SimConnect data of request 108: 0 bytes, 8 expected"));
}

}  // namespace
}  // namespace cvl::test

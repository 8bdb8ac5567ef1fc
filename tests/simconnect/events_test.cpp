#include <gtest/gtest.h>

#include <string>

#include "emulated_simulator.h"
#include "simconnect/protocol.h"

namespace cvl::test {
namespace {

class Events : public ::testing::Test {
 protected:
  Events() { client.dispatch(); }

  InProcessEmulator emulator;
  Client client;
};

TEST_F(Events, SimEventTellsRunningAtSubscriptionAndOnPauseAndResume) {
  ASSERT_TRUE(SUCCEEDED(SimConnect_SubscribeToSystemEvent(client.handle(), 201, "Sim")));
  emulator->setPaused(true);
  emulator->setPaused(false);

  const auto events = allOf(client.dispatch(), SIMCONNECT_RECV_ID_EVENT);
  ASSERT_EQ(events.size(), 3u);
  for (std::size_t i = 0; i < events.size(); ++i) {
    const auto event = events[i].record<SIMCONNECT_RECV_EVENT>();
    EXPECT_EQ(event.uEventID, 201u);
    EXPECT_EQ(event.dwData, i == 1 ? 0u : 1u);
  }
}

TEST_F(Events, FramesReachOnlySubscribers) {
  emulator->runFrame(1.0 / 30);
  EXPECT_TRUE(client.dispatch().empty());

  ASSERT_TRUE(SUCCEEDED(SimConnect_SubscribeToSystemEvent(client.handle(), 204, "frame")));
  emulator->runFrame(1.0 / 30);
  emulator->runFrame(1.0 / 30);
  const auto frames = allOf(client.dispatch(), SIMCONNECT_RECV_ID_EVENT_FRAME);
  ASSERT_EQ(frames.size(), 2u);
  const auto frame = frames[0].record<SIMCONNECT_RECV_EVENT_FRAME>();
  EXPECT_EQ(frame.uEventID, 204u);
  EXPECT_NEAR(frame.fFrameRate, 30.0f, 0.01f);
}

TEST_F(Events, ANewFlightArrivesAsFlightLoadedWithItsFile) {
  ASSERT_TRUE(SUCCEEDED(SimConnect_SubscribeToSystemEvent(client.handle(), 205, "FlightLoaded")));
  emulator->loadNewFlight();
  const auto loaded = firstOf(client.dispatch(), SIMCONNECT_RECV_ID_EVENT_FILENAME);
  ASSERT_TRUE(loaded);
  const auto file = loaded->record<SIMCONNECT_RECV_EVENT_FILENAME>();
  EXPECT_EQ(file.uEventID, 205u);
  EXPECT_EQ(std::string(file.szFileName), emulator->state()["flightFile"]);
  EXPECT_FALSE(std::string(file.szFileName).empty());
}

TEST_F(Events, AnUnknownSystemEventIsRefusedWithItsPacketId) {
  ASSERT_TRUE(SUCCEEDED(SimConnect_SubscribeToSystemEvent(client.handle(), 209, "Sunset")));
  const auto refusal = firstOf(client.dispatch(), SIMCONNECT_RECV_ID_EXCEPTION);
  ASSERT_TRUE(refusal);
  const auto exception = refusal->record<SIMCONNECT_RECV_EXCEPTION>();
  EXPECT_EQ(exception.dwException, SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED);
  EXPECT_EQ(exception.dwSendID, client.lastPacketId());
  EXPECT_EQ(exception.dwIndex, 2u);
}

TEST_F(Events, MessagesOfKindsWithoutARecordReachTheCallbackBare) {
  emulator->sendToAll(simconnect::encodeBareMessage(27));
  const auto messages = client.dispatch();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].kind(), 27u);
  EXPECT_EQ(messages[0].bytes.size(), sizeof(SIMCONNECT_RECV));
}

// A stream that cannot be read any further ends the connection as if the simulator had quit.
TEST_F(Events, ADamagedMessageEndsTheConnectionWithQuit) {
  emulator->sendToAll(simconnect::Frame{std::byte{1}});
  const auto messages = client.dispatch();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].kind(), SIMCONNECT_RECV_ID_QUIT);
  EXPECT_TRUE(FAILED(SimConnect_SubscribeToSystemEvent(client.handle(), 201, "Sim")));
}

}  // namespace
}  // namespace cvl::test

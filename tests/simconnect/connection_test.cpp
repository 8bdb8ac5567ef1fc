#include <gtest/gtest.h>

#include <string>

#include "emulated_simulator.h"

namespace cvl::test {
namespace {

TEST(Connection, OpenIsAnsweredWithTheSimulatorsNameAndVersion) {
  for (const auto& [year, name, major] : {std::tuple{2020, "KittyHawk", 11u}, std::tuple{2024, "SunRise", 12u}}) {
    InProcessEmulator emulator(emulatorSettings(year));
    Client client;
    const auto messages = client.dispatch();
    ASSERT_EQ(messages.size(), 1u);
    const auto open = messages[0].record<SIMCONNECT_RECV_OPEN>();
    EXPECT_EQ(open.dwID, SIMCONNECT_RECV_ID_OPEN);
    EXPECT_EQ(std::string(open.szApplicationName), name);
    EXPECT_EQ(open.dwApplicationVersionMajor, major);
    EXPECT_EQ(open.dwSize, messages[0].bytes.size());
  }
}

TEST(Connection, OpenFailsWhileTheSimulatorTakesNoConnection) {
  InProcessEmulator emulator;
  emulator->setAcceptingConnections(false);
  HANDLE handle = reinterpret_cast<HANDLE>(std::uintptr_t{42});
  EXPECT_TRUE(FAILED(SimConnect_Open(&handle, "Corvalen", nullptr, 0, nullptr, 0)));
  EXPECT_EQ(handle, nullptr);

  emulator->setAcceptingConnections(true);
  EXPECT_TRUE(SUCCEEDED(SimConnect_Open(&handle, "Corvalen", nullptr, 0, nullptr, 0)));
  EXPECT_TRUE(SUCCEEDED(SimConnect_Close(handle)));
}

TEST(Connection, CallsWithAClosedOrUnknownHandleFail) {
  InProcessEmulator emulator;
  HANDLE handle = nullptr;
  ASSERT_TRUE(SUCCEEDED(SimConnect_Open(&handle, "Corvalen", nullptr, 0, nullptr, 0)));
  ASSERT_TRUE(SUCCEEDED(SimConnect_Close(handle)));

  std::uint32_t packetId = 0;
  for (const auto stale : {handle, HANDLE{}, reinterpret_cast<HANDLE>(std::uintptr_t{123456})}) {
    EXPECT_TRUE(FAILED(SimConnect_Close(stale)));
    EXPECT_TRUE(FAILED(SimConnect_SubscribeToSystemEvent(stale, 201, "Sim")));
    EXPECT_TRUE(FAILED(SimConnect_GetLastSentPacketID(stale, &packetId)));
    EXPECT_TRUE(FAILED(SimConnect_CallDispatch(
        stale, [](SIMCONNECT_RECV*, std::uint32_t, void*) {}, nullptr)));
  }
}

TEST(Connection, MissingArgumentsFailTheCall) {
  InProcessEmulator emulator;
  EXPECT_TRUE(FAILED(SimConnect_Open(nullptr, "Corvalen", nullptr, 0, nullptr, 0)));
  HANDLE handle = nullptr;
  EXPECT_TRUE(FAILED(SimConnect_Open(&handle, nullptr, nullptr, 0, nullptr, 0)));

  Client client;
  const SIMCONNECT_DATA_INITPOSITION position{};
  EXPECT_TRUE(FAILED(SimConnect_SubscribeToSystemEvent(client.handle(), 201, nullptr)));
  EXPECT_TRUE(FAILED(SimConnect_AICreateNonATCAircraft(client.handle(), "A320", nullptr, position, 104)));
  EXPECT_TRUE(FAILED(SimConnect_SetDataOnSimObject(client.handle(), 402, 300, 0, 0, 64, nullptr)));
  EXPECT_TRUE(FAILED(SimConnect_CallDispatch(client.handle(), nullptr, nullptr)));
}

TEST(Connection, QuitIsDeliveredAndThenTheConnectionIsOver) {
  InProcessEmulator emulator;
  Client client;
  client.dispatch();
  emulator->quit();

  const auto messages = client.dispatch();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].kind(), SIMCONNECT_RECV_ID_QUIT);
  EXPECT_TRUE(FAILED(SimConnect_CallDispatch(
      client.handle(), [](SIMCONNECT_RECV*, std::uint32_t, void*) {}, nullptr)));
  EXPECT_TRUE(FAILED(SimConnect_SubscribeToSystemEvent(client.handle(), 201, "Sim")));
}

// The program opens a new connection after each restart; what the old one created goes with it.
TEST(Connection, ClientsFollowingEachOtherStartAfresh) {
  InProcessEmulator emulator;
  {
    Client first;
    const SIMCONNECT_DATA_INITPOSITION position{50.03, 8.57, 364, 0, 0, 90, 1, 0};
    ASSERT_TRUE(SUCCEEDED(SimConnect_AICreateNonATCAircraft(first.handle(), "Airliner", "CVL1", position, 104)));
    EXPECT_EQ(emulator->state()["objects"].size(), 1u);
  }
  EXPECT_TRUE(emulator->state()["objects"].empty());
  EXPECT_TRUE(emulator->state()["clients"].empty());

  Client second;
  ASSERT_TRUE(firstOf(second.dispatch(), SIMCONNECT_RECV_ID_OPEN));
  const auto clients = emulator->state()["clients"];
  ASSERT_EQ(clients.size(), 1u);
  EXPECT_EQ(clients[0]["name"], "Corvalen");
}

// A dispatch callback calls the library again (a frame handler sends positions) and may throw (a handler's error
// ends the program's client thread); neither may lose a message or hang.
TEST(Connection, TheDispatchCallbackMayCallTheLibraryAndThrow) {
  InProcessEmulator emulator;
  Client client;
  ASSERT_TRUE(SUCCEEDED(SimConnect_SubscribeToSystemEvent(client.handle(), 201, "Sim")));

  struct Context {
    HANDLE handle;
    int calls = 0;
  } context{client.handle()};
  const auto throwOnFirst = [](SIMCONNECT_RECV*, std::uint32_t, void* raw) {
    auto& c = *static_cast<Context*>(raw);
    ++c.calls;
    EXPECT_TRUE(SUCCEEDED(SimConnect_SubscribeToSystemEvent(c.handle, 204, "Frame")));
    if (c.calls == 1) {
      throw std::runtime_error("handler failed");
    }
  };
  EXPECT_THROW(SimConnect_CallDispatch(client.handle(), throwOnFirst, &context), std::runtime_error);
  EXPECT_TRUE(SUCCEEDED(SimConnect_CallDispatch(client.handle(), throwOnFirst, &context)));
  EXPECT_EQ(context.calls, 2);  // OPEN, then the Sim event left over from the first call
}

}  // namespace
}  // namespace cvl::test

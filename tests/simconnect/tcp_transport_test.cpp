#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "emulated_simulator.h"
#include "simemu/tcp_server.h"
#include "support/temp_folder.h"

namespace cvl::test {
namespace {

// A loopback port that nothing listens on: one the system just handed out and took back.
std::uint16_t unusedPort() {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof(address);
  ::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size);
  ::close(socket);
  return ntohs(address.sin_port);
}

// Dispatches until a message of the kind that `wanted` accepts has come (messages over TCP take their time); gives
// up after ten seconds.
std::optional<Message> awaitMessage(
    HANDLE handle, std::uint32_t kind,
    const std::function<bool(const Message&)>& wanted = [](const Message&) { return true; }) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < giveUp) {
    for (auto& message : dispatchAll(handle)) {
      if (message.kind() == kind && wanted(message)) {
        return message;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return std::nullopt;
}

// Dispatches until the library reports the connection over; false when it does not within ten seconds.
bool awaitEnd(HANDLE handle) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < giveUp) {
    if (FAILED(SimConnect_CallDispatch(
            handle, [](SIMCONNECT_RECV*, std::uint32_t, void*) {}, nullptr))) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

class OverTcp : public ::testing::Test {
 protected:
  OverTcp()
      : emulator(std::make_shared<simemu::SimEmulator>(emulatorSettings(2024))),
        server(std::make_unique<simemu::TcpServer>(emulator, 0)),
        port("CORVALEN_SIM_PORT", std::to_string(server->port())) {}

  std::shared_ptr<simemu::SimEmulator> emulator;
  std::unique_ptr<simemu::TcpServer> server;
  ScopedEnvironment port;
};

TEST_F(OverTcp, AClientIsServedAcrossTheSocket) {
  Client client;
  const auto open = awaitMessage(client.handle(), SIMCONNECT_RECV_ID_OPEN);
  ASSERT_TRUE(open);
  EXPECT_EQ(std::string(open->record<SIMCONNECT_RECV_OPEN>().szApplicationName), "SunRise");

  ASSERT_TRUE(SUCCEEDED(SimConnect_SubscribeToSystemEvent(client.handle(), 202, "ObjectAdded")));
  ASSERT_TRUE(
      SUCCEEDED(SimConnect_AddToDataDefinition(client.handle(), 404, "ATC ID", nullptr, SIMCONNECT_DATATYPE_STRING32)));
  const SIMCONNECT_DATA_INITPOSITION position{50.0335, 8.5710, 364, 0, 0, 160, 1, 0};
  ASSERT_TRUE(SUCCEEDED(SimConnect_AICreateNonATCAircraft(client.handle(), "Airliner", "CVL42", position, 104)));
  const auto added = awaitMessage(client.handle(), SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE);
  ASSERT_TRUE(added);
  const auto objectId = added->record<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>().dwData;

  ASSERT_TRUE(SUCCEEDED(
      SimConnect_RequestDataOnSimObjectType(client.handle(), 101, 404, 10000, SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT)));
  const auto ours =
      awaitMessage(client.handle(), SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE, [objectId](const Message& m) {
        return m.record<SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE>().dwObjectID == objectId;
      });
  ASSERT_TRUE(ours);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(ours->block().data())), "CVL42");
}

TEST_F(OverTcp, QuitReachesTheClientBeforeTheConnectionCloses) {
  Client client;
  ASSERT_TRUE(awaitMessage(client.handle(), SIMCONNECT_RECV_ID_OPEN));
  emulator->quit();
  ASSERT_TRUE(awaitMessage(client.handle(), SIMCONNECT_RECV_ID_QUIT));
  EXPECT_TRUE(awaitEnd(client.handle()));
}

// A simulator that vanishes without a word still ends the connection with a QUIT for the program.
TEST_F(OverTcp, AConnectionThatBreaksEndsWithQuit) {
  Client client;
  ASSERT_TRUE(awaitMessage(client.handle(), SIMCONNECT_RECV_ID_OPEN));
  server.reset();
  ASSERT_TRUE(awaitMessage(client.handle(), SIMCONNECT_RECV_ID_QUIT));
  EXPECT_TRUE(awaitEnd(client.handle()));
  EXPECT_TRUE(FAILED(SimConnect_SubscribeToSystemEvent(client.handle(), 201, "Sim")));
}

TEST(Tcp, OpenFailsWithNothingListening) {
  ScopedEnvironment port("CORVALEN_SIM_PORT", std::to_string(unusedPort()));
  HANDLE handle = nullptr;
  EXPECT_TRUE(FAILED(SimConnect_Open(&handle, "Corvalen", nullptr, 0, nullptr, 0)));
  EXPECT_EQ(handle, nullptr);
}

}  // namespace
}  // namespace cvl::test

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>

#include "platform/net/socket_owner.h"

namespace cvl::net {
namespace {

using namespace std::chrono_literals;

// Long enough for any loaded machine; a failing test waits this long, a passing one does not.
constexpr auto patience = 10s;

SocketOwner listenOnLoopback() {
  SocketOwner listener{openSocket(SocketKind::stream)};
  EXPECT_TRUE(listener.valid()) << lastError();
  EXPECT_EQ(setBlocking(listener.get(), false), 0);
  EXPECT_EQ(setReuseAddress(listener.get(), true), 0);
  EXPECT_EQ(bindTo(listener.get(), loopbackAddress(0)), 0) << lastError();
  EXPECT_EQ(listenOn(listener.get(), maxBacklog), 0) << lastError();
  return listener;
}

SocketOwner connectToPort(std::uint16_t port) {
  SocketOwner client{openSocket(SocketKind::stream)};
  EXPECT_EQ(connectTo(client.get(), loopbackAddress(port)), 0) << lastError();
  return client;
}

std::string receiveText(Socket socket) {
  std::array<char, 256> buffer{};
  EXPECT_EQ(waitReadable(socket, patience), 1);
  const int count = receive(socket, buffer);
  EXPECT_GE(count, 0) << lastError();
  return count > 0 ? std::string(buffer.data(), static_cast<std::size_t>(count)) : std::string{};
}

TEST(NetTcp, PolledAcceptReturnsWouldBlockUntilAClientConnects) {
  SocketOwner listener = listenOnLoopback();
  const std::uint16_t port = localPort(listener.get());
  ASSERT_NE(port, 0);

  EXPECT_EQ(acceptConnection(listener.get(), 0ms), invalidSocket);
  EXPECT_EQ(lastError(), errorWouldBlock);

  SocketOwner client = connectToPort(port);
  SocketOwner server{acceptConnection(listener.get(), patience)};
  ASSERT_TRUE(server.valid()) << lastError();
  EXPECT_EQ(setNoDelay(server.get(), true), 0);

  EXPECT_EQ(send(server.get(), "Qs999=version\r\n"), 15);
  EXPECT_EQ(receiveText(client.get()), "Qs999=version\r\n");
  EXPECT_EQ(send(client.get(), R"({"level":2,"version":"9.1"})"), 27);
  EXPECT_EQ(receiveText(server.get()), R"({"level":2,"version":"9.1"})");

  EXPECT_EQ(waitReadable(server.get(), 0ms), 0);
  client.reset();
  EXPECT_EQ(receiveText(server.get()), "");  // the end of the stream
}

TEST(NetTcp, SendingToAClosedPeerFailsWithResetInsteadOfASignal) {
  SocketOwner listener = listenOnLoopback();
  SocketOwner client = connectToPort(localPort(listener.get()));
  SocketOwner server{acceptConnection(listener.get(), patience)};
  ASSERT_TRUE(server.valid());
  server.reset();

  // The first sends may still be taken by the system; the peer's reset makes a later one fail.
  int result = 0;
  for (int attempt = 0; attempt < 100 && result != socketError; ++attempt) {
    result = send(client.get(), "Qs121=0;0;1.500000;3500000;250500;0.898321;-0.007929\r\n");
    waitReadable(client.get(), 100ms);
  }
  EXPECT_EQ(result, socketError);
  EXPECT_EQ(lastError(), errorConnectionReset);
}

TEST(NetTcp, ConnectingToAPortWithoutListenerIsRefused) {
  // A bound socket that does not listen keeps the port ours, so nobody else can be listening on it.
  SocketOwner bound{openSocket(SocketKind::stream)};
  ASSERT_EQ(bindTo(bound.get(), loopbackAddress(0)), 0);

  SocketOwner client{openSocket(SocketKind::stream)};
  EXPECT_EQ(connectTo(client.get(), loopbackAddress(localPort(bound.get()))), socketError);
  EXPECT_EQ(lastError(), errorConnectionRefused);
}

TEST(NetTcp, BindingAPortInUseReportsAddressInUse) {
  SocketOwner listener = listenOnLoopback();
  SocketOwner second{openSocket(SocketKind::stream)};
  ASSERT_EQ(setReuseAddress(second.get(), true), 0);
  EXPECT_EQ(bindTo(second.get(), loopbackAddress(localPort(listener.get()))), socketError);
  EXPECT_EQ(lastError(), errorAddressInUse);
}

TEST(NetTcp, CallsOnTheInvalidSocketFailWithoutTouchingTheSystem) {
  std::array<char, 8> buffer{};
  EXPECT_EQ(receive(invalidSocket, buffer), socketError);
  EXPECT_EQ(lastError(), errorNotASocket);
  EXPECT_EQ(acceptConnection(invalidSocket, 0ms), invalidSocket);
  EXPECT_EQ(lastError(), errorNotASocket);
  EXPECT_EQ(send(invalidSocket, "exit\r\n"), socketError);
  EXPECT_EQ(closeSocket(invalidSocket), socketError);
}

TEST(NetTcp, PassiveLookupOfAPortTextGivesTheAnyAddress) {
  const Lookup passive = resolveAddress("", "10747");
  EXPECT_EQ(passive.error, 0);
  EXPECT_EQ(passive.address.host, anyAddress(0).host);
  EXPECT_EQ(passive.address.port, 10747);

  const Lookup dotted = resolveAddress("127.0.0.1", "49005");
  EXPECT_EQ(dotted.error, 0);
  EXPECT_EQ(dotted.address.host, loopbackAddress(0).host);

  EXPECT_NE(resolveAddress("", "no port").error, 0);
}

}  // namespace
}  // namespace cvl::net

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>

#include "platform/net/socket_owner.h"

namespace cvl::net {
namespace {

using namespace std::chrono_literals;

constexpr auto patience = 10s;
constexpr std::size_t readerBuffer = 16384;

class NetUdp : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(receiver_.valid()) << lastError();
    ASSERT_EQ(bindTo(receiver_.get(), loopbackAddress(0)), 0) << lastError();
    target_ = loopbackAddress(localPort(receiver_.get()));
  }

  void sendDatagram(const std::string& datagram) {
    ASSERT_EQ(sendTo(sender_.get(), target_, datagram), static_cast<int>(datagram.size())) << lastError();
  }

  int receiveDatagram() {
    EXPECT_EQ(waitReadable(receiver_.get(), patience), 1);
    return receive(receiver_.get(), buffer_);
  }

  std::string received(int count) const { return {buffer_.data(), static_cast<std::size_t>(count)}; }

  SocketOwner receiver_{openSocket(SocketKind::datagram)};
  SocketOwner sender_{openSocket(SocketKind::datagram)};
  Address target_;
  std::array<char, readerBuffer> buffer_{};
};

TEST_F(NetUdp, DatagramsArriveWholeAndInOrder) {
  EXPECT_EQ(waitReadable(receiver_.get(), 0ms), 0);
  sendDatagram(R"({"QNH":1013})");
  sendDatagram("");

  int count = receiveDatagram();
  EXPECT_EQ(received(count), R"({"QNH":1013})");
  EXPECT_EQ(receiveDatagram(), 0);  // an empty datagram, not an error
}

TEST_F(NetUdp, AnOversizeDatagramIsReportedAsTooLongAndTheNextOneStillArrives) {
  sendDatagram(std::string(readerBuffer + 1, 'x'));
  sendDatagram(std::string(readerBuffer, 'y'));
  sendDatagram("next");

  EXPECT_EQ(receiveDatagram(), socketError);
  EXPECT_EQ(lastError(), errorMessageTooLong);
  EXPECT_EQ(receiveDatagram(), static_cast<int>(readerBuffer));  // exactly the buffer: whole, the caller decides
  const int count = receiveDatagram();
  EXPECT_EQ(received(count), "next");
}

TEST_F(NetUdp, ADatagramBeyondTheProtocolLimitCannotBeSent) {
  EXPECT_EQ(sendTo(sender_.get(), target_, std::string(70000, 'x')), socketError);
  EXPECT_EQ(lastError(), errorMessageTooLong);
}

TEST_F(NetUdp, ASecondReaderOnTheSamePortIsRefused) {
  SocketOwner second{openSocket(SocketKind::datagram)};
  EXPECT_EQ(bindTo(second.get(), anyAddress(target_.port)), socketError);
  EXPECT_EQ(lastError(), errorAddressInUse);
}

}  // namespace
}  // namespace cvl::net

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>
#include <thread>

#include "platform/net/socket_owner.h"
#include "rtemu/replayer.h"
#include "rtemu/round_identity.h"
#include "rtemu/traffic_time.h"

namespace cvl::rtemu {
namespace {

using namespace std::chrono_literals;

constexpr auto patience = 10s;

std::string trafficLine(std::string_view callsign, std::string_view timestamp) {
  return fmt::format(
      "TFC,3958852,50.0487,8.5712,0,0,0,160.0,0,{},A320,D-AIZA,FRA,LHR,{},0,0,adsb_icao,0,0,-1,0,0,"
      "-1,0,160.0,0,0,A3",
      callsign, timestamp);
}

// The service's two datagram ports, on free loopback ports of the test's own.
class RtemuReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    for (net::SocketOwner* port : {&traffic_, &weather_}) {
      ASSERT_EQ(net::bindTo(port->get(), net::loopbackAddress(0)), 0);
    }
  }

  UdpSender sender() {
    return {net::loopbackAddress(net::localPort(traffic_.get())), net::loopbackAddress(net::localPort(weather_.get()))};
  }

  static std::string receive(const net::SocketOwner& port) {
    std::array<char, 16384> buffer{};
    EXPECT_EQ(net::waitReadable(port.get(), patience), 1);
    const int count = net::receive(port.get(), buffer);
    return count > 0 ? std::string(buffer.data(), static_cast<std::size_t>(count)) : std::string{};
  }

  net::SocketOwner traffic_{net::openSocket(net::SocketKind::datagram)};
  net::SocketOwner weather_{net::openSocket(net::SocketKind::datagram)};
};

TEST_F(RtemuReplay, SendsEachDatagramToItsPortWithTheTimestampMovedToTheReplaysStart) {
  auto recording = parseRecording(fmt::format("0 traffic {}\n0.01 weather {{\"QNH\":1017}}\n0.02 traffic {}\n"
                                              "0.03 traffic {}\n",
                                              trafficLine("DLH4AB", "1700000000.5"),
                                              trafficLine("DLH5CD", "1700000001.25"), trafficLine("BAD", "abc")),
                                  "t");
  UdpSender udp = sender();
  Replayer replayer(std::move(recording), udp, {1.0, false, [] { return 1800000000.0; }}, [](std::string_view) {});

  EXPECT_EQ(replayer.run({}), 4u);
  EXPECT_EQ(receive(traffic_), trafficLine("DLH4AB", "1800000000.0"));
  EXPECT_EQ(receive(traffic_), trafficLine("DLH5CD", "1800000000.75"));
  EXPECT_EQ(receive(traffic_), trafficLine("BAD", "abc"));
  EXPECT_EQ(receive(weather_), R"({"QNH":1017})");
}

TEST_F(RtemuReplay, ALoopMovesTheTimestampsOfEveryPassFliesOtherAircraftInEachAndStopsOnRequest) {
  auto recording =
      parseRecording(fmt::format("0.0 traffic {}\n0.05 weather {{}}\n", trafficLine("DLH4AB", "100.0")), "t");
  UdpSender udp = sender();
  double passStart = 1800000000.0;
  Replayer replayer(std::move(recording), udp, {1.0, true, [&] { return passStart += 1000.0; }},
                    [](std::string_view) {});
  std::jthread playing([&](std::stop_token stop) { replayer.run(stop); });

  double previous = 0.0;
  for (unsigned round = 0; round < 3; ++round) {
    const std::string line = receive(traffic_);
    const auto timestamp = trafficTimestamp(line);
    ASSERT_TRUE(timestamp.has_value());
    EXPECT_GE(*timestamp - previous, 1000.0);
    previous = *timestamp;
    EXPECT_EQ(line, lineForRound(trafficLine("DLH4AB", fmt::format("{:.1f}", *timestamp)), round));
  }
  playing.request_stop();
}

// 3958852 is 0x3C6844: its block of 4096 starts at 0x3C6000.
TEST(RtemuRound, ARoundMovesTheAddressWithinItsBlockAndCountsUpTheCallsignsEnd) {
  const auto line = [](std::string_view address, std::string_view callsign) {
    return fmt::format("TFC,{},50.0487,8.5712,0,0,0,160.0,0,{},A320,D-AIZA,FRA,LHR,1.0,0,0", address, callsign);
  };
  EXPECT_EQ(lineForRound(line("3958852", "DLH4AB"), 0), line("3958852", "DLH4AB"));
  EXPECT_EQ(lineForRound(line("3958852", "DLH4AB"), 1), line("3958868", "DLH4AC"));
  EXPECT_EQ(lineForRound(line("3958852", "DLH409"), 1), line("3958868", "DLH40A"));
  EXPECT_EQ(lineForRound(line("3958852", "DLH4ZZ"), 1), line("3958868", "DLH400"));
  EXPECT_EQ(lineForRound(line("3958852", "DLH4AB"), 124), line("3956740", "DLH4DR"));
  // 0x3C6FF4 + 0x10 wraps to 0x3C6004.
  EXPECT_EQ(lineForRound(line("3960820", "DLH4AB"), 1), line("3956740", "DLH4AC"));
  EXPECT_EQ(lineForRound(line("3958852", "null"), 1), line("3958868", "null"));
  EXPECT_EQ(lineForRound(line("3958852", "dlh4ab"), 1), line("3958868", "dlh4ab"));
  EXPECT_EQ(lineForRound(line("39588x2", "DLH4AB"), 1), line("39588x2", "DLH4AB"));
  EXPECT_EQ(lineForRound("TFC,3958852", 1), "TFC,3958852");
}

}  // namespace
}  // namespace cvl::rtemu

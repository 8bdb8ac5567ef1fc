#include "trafficin/realtraffic_link.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <optional>
#include <ranges>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

#include "app/status_line.h"
#include "app/user_position.h"
#include "engine/aircraft_lists.h"
#include "engine/create_backlogs.h"
#include "engine/engine_state.h"
#include "foundation/throttled_log.h"
#include "platform/net/socket_owner.h"
#include "support/log_flood.h"
#include "traffic_test_support.h"

namespace cvl {
namespace {

using namespace std::chrono_literals;

constexpr auto patience = 10s;

// The traffic service's end of the link, as far as a test needs it.
class ServiceClient {
 public:
  explicit ServiceClient(std::uint16_t port) {
    EXPECT_EQ(net::connectTo(socket_.get(), net::loopbackAddress(port)), 0) << net::lastError();
  }

  // The next line without its "\r\n"; empty at the end of the stream.
  std::string readLine() {
    while (pending_.find("\r\n") == std::string::npos) {
      if (net::waitReadable(socket_.get(), patience) != 1) {
        return {};
      }
      std::array<char, 4096> chunk{};
      const int count = net::receive(socket_.get(), chunk);
      if (count <= 0) {
        return {};
      }
      pending_.append(chunk.data(), static_cast<std::size_t>(count));
    }
    const auto end = pending_.find("\r\n");
    std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 2);
    return line;
  }

  bool endOfStream() {
    std::array<char, 64> chunk{};
    return pending_.empty() && net::waitReadable(socket_.get(), patience) == 1 &&
           net::receive(socket_.get(), chunk) == 0;
  }

  void send(std::string_view text) { EXPECT_EQ(net::send(socket_.get(), text), static_cast<int>(text.size())); }
  void close() { socket_.reset(); }

 private:
  net::SocketOwner socket_{net::openSocket(net::SocketKind::stream)};
  std::string pending_;
};

class RealTrafficLink : public ::testing::Test {
 protected:
  void SetUp() override {
    test::resetTrafficInput();
    realTrafficDetected = true;
    userPosition = {};
    userPosition.latitude = 51.47;
    userPosition.longitude = -0.4543;
    userPosition.pitch = 0.05;
    userPosition.heading = 1.5;
    userPosition.altitude = 3500.0;
    userPosition.groundVelocity = 250.5;
    startServer("0");
    port_ = net::localPort(rtListenSocket);
    ASSERT_NE(port_, 0);
  }
  void TearDown() override {
    gf_closeRealTrafficSockets();
    liveAcs.clear();
    liveCreateBacklog.clear();
    addingStack.clear();
    removalBacklog.clear();
    rtProfessional = false;
    awaitingRealTraffic = true;
    mainWindow.rtEditionText = "";
    mainWindow.realTrafficLamp = false;
    gf_clearStatusLine();
    gf_restartLogLimits();  // a test that drove a limit by a clock of its own leaves it as at the end of a run
    test::resetTrafficInput();
  }

  // A service that has connected and been accepted.
  ServiceClient connectedService() {
    ServiceClient service{port_};
    EXPECT_TRUE(waitForClient(patience));
    return service;
  }

  static void addLiveAircraft(const std::string& callsign, AcState state, std::uint32_t hexid, std::uint32_t objectId) {
    IdentityTexts texts;
    texts.callsign = callsign;
    AcIdentity identity(texts);
    LiveAc& aircraft = liveAcs.emplace_back(identity, TimedPosition{}, 0.0);
    aircraft.hexid = hexid;
    aircraft.objectId = objectId;
    aircraft.state = state;
  }

  test::CapturedLog log_;
  std::uint16_t port_ = 0;
};

TEST_F(RealTrafficLink, TheHandshakeLearnsTheEditionFromAnAnswerInPieces) {
  ServiceClient service{port_};
  std::thread worker{gf_connectRealTraffic};
  EXPECT_EQ(service.readLine(), "Qs999=version");
  service.send(R"({"level":2,)");
  std::this_thread::sleep_for(50ms);
  service.send(R"("version":"9.1"})");
  worker.join();

  EXPECT_TRUE(realTrafficConnected);
  EXPECT_TRUE(rtProfessional);
  EXPECT_EQ(mainWindow.rtEditionText.get(), "RT prof edition: 9.1");
  EXPECT_TRUE(mainWindow.realTrafficLamp);
  EXPECT_FALSE(awaitingRealTraffic);
  EXPECT_EQ(gf_statusText(), "");
  EXPECT_TRUE(log_.holds("Waiting for RealTraffic to connect to Corvalen ...\n"));
  EXPECT_TRUE(log_.holds("RealTraffic connected\n"));
}

TEST_F(RealTrafficLink, EditionAnswers) {
  struct Case {
    std::string reply;
    bool professional;
    std::string edition;
  };
  for (const auto& [reply, professional, edition] : std::vector<Case>{
           {R"({"level":2,"version":"9.1"})", true, "RT prof edition: 9.1"},
           {R"({"version":"9.1"})", false, "RT stnd edition: 9.1"},
           {R"({"level":"2","version":9.1})", false, "RT stnd edition: 9.1"},
           {R"({"level":2.0})", true, "RT prof edition: "},
           {R"([2])", false, ""},
       }) {
    rtProfessional = !professional;
    mainWindow.rtEditionText = "before";
    lf_readRealTrafficVersion(reply);
    EXPECT_EQ(rtProfessional, professional) << reply;
    EXPECT_EQ(mainWindow.rtEditionText.get(), edition) << reply;
  }
  for (const std::string reply : {"", "Qs999?", R"({"level":2)"}) {
    rtProfessional = true;
    gf_clearStatusLine();
    lf_readRealTrafficVersion(reply);
    EXPECT_FALSE(rtProfessional) << reply;
    EXPECT_EQ(gf_statusText(), "No RealTraffic version received?") << reply;
  }
}

TEST_F(RealTrafficLink, ASilentServiceGivesAnEmptyAnswerInTime) {
  ServiceClient service = connectedService();
  EXPECT_EQ(receive(200ms), "");
}

TEST_F(RealTrafficLink, PositionAndTimeGoOutAsWholeNumbers) {
  ServiceClient service = connectedService();

  gf_sendUserPosition();
  EXPECT_EQ(service.readLine(), "Qs121=5000;0;1.500000;3500000;250500;0.898321;-0.007929");
  gf_sendQs123(0);
  gf_sendQs123(1700000000);
  EXPECT_EQ(service.readLine(), "Qs123=1700000000000");

  userPosition.latitude = 0.00005;
  userPosition.longitude = -0.00002;
  gf_sendUserPosition();
  gf_sendQs123(1700000015);
  EXPECT_EQ(service.readLine(), "Qs123=1700000015000");  // no position line before it
}

TEST_F(RealTrafficLink, PositionLinesKeepEveryDigit) {
  UserAcData user;
  user.pitch = 0.0123;
  user.bank = -0.0000001;
  user.heading = 6.2;
  user.altitude = 35000.0;
  user.groundVelocity = 480.1234;
  user.latitude = -33.9;
  user.longitude = 151.2;
  EXPECT_EQ(gf_userPositionLine(user), "Qs121=1230;0;6.200000;35000000;480123;-0.591667;2.638938\r\n");
}

TEST_F(RealTrafficLink, AGoneServiceTakesTheLiveTrafficAlongAndIsWaitedForWithoutBlocking) {
  ServiceClient first = connectedService();
  addLiveAircraft("ACTIVE1", AcState::active, 20001, 101);
  addLiveAircraft("QUEUED2", AcState::adding2sim, 20002, 0);
  addLiveAircraft("BUFFER3", AcState::buffer, 20003, 0);
  addLiveAircraft("SPAWNED4", AcState::adding2sim, 20004, 0);
  liveCreateBacklog.push_back(CreateRequest{{}, "QUEUED2", {}, 20002});
  addingStack.push_back(20004);  // its request is built on the next tick
  mainWindow.realTrafficLamp = true;

  first.close();
  gf_sendUserPosition();

  EXPECT_FALSE(realTrafficConnected);
  EXPECT_FALSE(mainWindow.realTrafficLamp);
  ASSERT_EQ(liveAcs.size(), 2U);
  EXPECT_EQ(liveAcs[0].callsign, "ACTIVE1");
  EXPECT_EQ(liveAcs[0].state, AcState::removingfromsim);
  EXPECT_EQ(removalBacklog, std::deque<std::uint32_t>{101});
  EXPECT_EQ(liveAcs[1].callsign, "BUFFER3");
  EXPECT_TRUE(liveCreateBacklog.empty());
  EXPECT_TRUE(addingStack.empty());
  EXPECT_NE(gf_statusText().find(" RealTraffic gone? Wait for RealTraffic to re-connect ..."), std::string::npos);
  EXPECT_TRUE(log_.holds("sendDataPacket to RealTraffic failed: "));
  EXPECT_TRUE(log_.holds("RealTraffic client socket closed\n"));

  gf_sendUserPosition();  // nobody there: returns at once
  EXPECT_FALSE(realTrafficConnected);

  ServiceClient second{port_};
  exitReason = ExitReason::readerError;  // the run is ending: no reconnection
  gf_sendUserPosition();
  EXPECT_FALSE(realTrafficConnected);
  exitReason = ExitReason::notYetSet;
  EXPECT_TRUE(test::eventually([] {
    gf_sendUserPosition();
    return realTrafficConnected.load();
  }));
  EXPECT_TRUE(mainWindow.realTrafficLamp);
  EXPECT_TRUE(log_.holds(" RealTraffic re-connected\n"));

  gf_sendUserPosition();
  EXPECT_EQ(second.readLine().substr(0, 6), "Qs121=");  // no version request after a reconnection
}

TEST_F(RealTrafficLink, AServiceThatComesAndGoesDuringAFloodOfMalformedDatagramsLeavesTheLogSmall) {
  // A local program connects and leaves again 10,000 times within the minute, each time after a malformed traffic
  // datagram; then a good report comes, and the program stays.
  const auto withinTheMinute = [] { return std::chrono::steady_clock::time_point{} + 1h; };
  trafficReader.malformedLog.now = withinTheMinute;
  realTrafficLinkLog.now = withinTheMinute;
  const std::size_t before = log_.text().size();
  std::string datagram;
  const auto received = [&datagram](std::string line) {
    datagram = std::move(line);
    trafficReader.data = datagram.data();
    trafficReader.length = datagram.size();
    trafficReader.onDatagram();
  };
  for (int cycle = 0; cycle < 10'000; ++cycle) {
    ServiceClient service{port_};
    gf_sendUserPosition();  // takes the service back
    ASSERT_TRUE(realTrafficConnected) << cycle;
    received(test::TrafficLine{}.set(2, fmt::format("north{}", cycle)).text());
    service.close();
    gf_sendUserPosition();  // finds it gone
  }
  ServiceClient staying{port_};
  gf_sendUserPosition();
  received(test::TrafficLine{}.text());
  {
    const std::lock_guard lock{trafficQueueMutex};
    EXPECT_EQ(trafficQueue.size(), 1U);
  }
  gf_sendUserPosition();
  EXPECT_EQ(staying.readLine().substr(0, 6), "Qs121=");

  gf_restartLogLimits();  // the end of the run
  const std::string added = log_.text().substr(before);
  EXPECT_TRUE(test::smallAndUtf8(added));
  std::size_t malformedLines = 0;
  for (auto at = added.find("exception in processLineSub"); at != std::string::npos;
       at = added.find("exception in processLineSub", at + 1)) {
    ++malformedLines;
  }
  EXPECT_EQ(malformedLines, 5U);
  EXPECT_NE(added.find("Traffic Reader: 9995 more malformed datagrams left out of the log\n"), std::string::npos);
  EXPECT_NE(added.find("RealTraffic link: "), std::string::npos);
  EXPECT_NE(added.find(" more link notices left out of the log\n"), std::string::npos);
}

// What the last line of the log text that tells the link's state says: "up", "down", or nothing.
std::string lastLinkState(std::string_view text) {
  std::string state;
  for (const auto piece : std::views::split(text, '\n')) {
    const std::string_view line{piece.begin(), piece.end()};
    if (line == "RealTraffic connected" || line.ends_with(" RealTraffic re-connected")) {
      state = "up";
    } else if (line == "RealTraffic client socket closed" || line.find(" RealTraffic gone? ") != line.npos) {
      state = "down";
    }
  }
  return state;
}

TEST_F(RealTrafficLink, AMinuteAfterTheServiceCameOrWentLogTxtOnDiskSaysSoHoweverOftenItDid) {
  auto now = std::chrono::steady_clock::time_point{} + 1h;
  realTrafficLinkLog.now = [&now] { return now; };
  const std::size_t before = log_.text().size();
  const auto added = [this, before] { return log_.text().substr(before); };
  // What a user reading Log.txt sees, before anything else writes out the log's buffer.
  const auto onDisk = [this, before] { return test::readFile(log_.folder() / "Log.txt").substr(before); };
  std::optional<ServiceClient> service;
  const auto comes = [this, &service, &now] {
    service.emplace(port_);
    gf_sendUserPosition();
    now += 100ms;
    return realTrafficConnected.load();
  };
  const auto goes = [&service, &now] {
    service->close();
    gf_sendUserPosition();
    now += 100ms;
    return !realTrafficConnected;
  };
  const auto aMinuteLater = [&now] {
    now += 1min;
    gf_reportDueLeftOutCounts();  // the per-second job
  };

  // Two restarts of the service within a minute.
  ASSERT_TRUE(comes());
  for (int restart = 0; restart < 2; ++restart) {
    ASSERT_TRUE(goes());
    now += 5s;
    ASSERT_TRUE(comes());
  }
  aMinuteLater();
  EXPECT_EQ(lastLinkState(onDisk()), "up") << added();

  // 10,000 times, in bursts, each left for a minute with the service there or gone.
  for (int cycle = 1; cycle <= 10'000; ++cycle) {
    ASSERT_TRUE(goes()) << cycle;
    if (cycle % 1000 == 0) {
      aMinuteLater();
      EXPECT_EQ(lastLinkState(onDisk()), "down") << cycle;
    }
    ASSERT_TRUE(comes()) << cycle;
    if (cycle % 1000 == 500) {
      aMinuteLater();
      EXPECT_EQ(lastLinkState(onDisk()), "up") << cycle;
    }
  }
  gf_restartLogLimits();  // the end of the run
  EXPECT_EQ(lastLinkState(added()), "up");
  EXPECT_TRUE(test::smallAndUtf8(added()));
}

TEST_F(RealTrafficLink, AWaitingServiceIsNotTakenWhileThePositionIsUnknown) {
  ServiceClient service{port_};
  userPosition.latitude = 0.00005;
  userPosition.longitude = -0.00002;
  gf_sendUserPosition();
  EXPECT_FALSE(realTrafficConnected);
}

TEST_F(RealTrafficLink, AStopEndsTheWaitForTheService) {
  std::thread worker{gf_connectRealTraffic};
  std::this_thread::sleep_for(100ms);
  stopRequested = true;
  worker.join();
  EXPECT_FALSE(realTrafficConnected);
  EXPECT_FALSE(mainWindow.realTrafficLamp);
  EXPECT_TRUE(awaitingRealTraffic);
}

TEST_F(RealTrafficLink, ClosingSaysExitAndEndsTheLink) {
  ServiceClient service = connectedService();
  EXPECT_TRUE(sendDataPacket("exit\r\n"));
  gf_closeRealTrafficSockets();

  EXPECT_EQ(service.readLine(), "exit");
  EXPECT_TRUE(service.endOfStream());
  EXPECT_FALSE(realTrafficConnected);
  EXPECT_EQ(rtListenSocket, net::invalidSocket);
}

TEST_F(RealTrafficLink, AServerThatCannotListenSaysWhy) {
  net::SocketOwner holder{net::openSocket(net::SocketKind::stream)};
  ASSERT_EQ(net::bindTo(holder.get(), net::loopbackAddress(0)), 0);
  ASSERT_EQ(net::listenOn(holder.get(), 1), 0);
  const std::string busyPort = std::to_string(net::localPort(holder.get()));
  try {
    startServer(busyPort);
    FAIL() << "a busy port was taken";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string{error.what()}.rfind("Bind failed at port " + busyPort + " with error 10048", 0), 0U)
        << error.what();
  }
  EXPECT_EQ(rtListenSocket, net::invalidSocket);
  EXPECT_THROW(startServer("no port"), std::runtime_error);
}

}  // namespace
}  // namespace cvl

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/status_line.h"
#include "platform/net/socket_owner.h"
#include "traffic_test_support.h"
#include "trafficin/qnh_reader.h"
#include "trafficin/reader_threads.h"
#include "trafficin/udp_reader.h"

namespace cvl {
namespace {

// Keeps what it is handed.
class RecordingReader : public UdpReader {
 public:
  RecordingReader() : UdpReader{"Recording Reader"} {}

  void onDatagram() override {
    const std::lock_guard lock{mutex_};
    received_.emplace_back(data, length);
  }
  void onStopped() override { stopped = true; }

  std::vector<std::string> received() const {
    const std::lock_guard lock{mutex_};
    return received_;
  }

  std::atomic<bool> stopped{false};

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> received_;
};

class UdpReaders : public ::testing::Test {
 protected:
  void SetUp() override { test::resetTrafficInput(); }
  void TearDown() override {
    gf_stopReaders();
    for (auto& reader : readers_) {
      reader->stop = true;
    }
    for (auto& thread : threads_) {
      thread.join();
    }
    test::resetTrafficInput();
  }

  // A reader whose loop runs on a thread of its own, listening on a port the system chose.
  RecordingReader& startReader() {
    RecordingReader& reader = *readers_.emplace_back(std::make_unique<RecordingReader>());
    threads_.emplace_back([&reader] {
      gf_udpStartup(reader);
      gf_udpCreateSocket(reader);
      gf_udpBind(reader, 0);
      gf_udpReceiveLoop(reader);
    });
    waitForPort(reader);
    return reader;
  }

  static std::uint16_t waitForPort(const UdpReader& reader) {
    EXPECT_TRUE(test::eventually([&reader] { return reader.boundPort != 0; }));
    return reader.boundPort;
  }

  void send(std::uint16_t port, const std::string& datagram) {
    ASSERT_EQ(net::sendTo(sender_.get(), net::loopbackAddress(port), datagram), static_cast<int>(datagram.size()));
  }

  // Sends `count` datagrams made by `datagram` from their number, waiting for the reader now and then so that the
  // system's receive buffer never overflows.
  void flood(std::uint16_t port, const UdpReader& reader, std::uint32_t count,
             const std::function<std::string(std::uint32_t)>& datagram) {
    constexpr std::uint32_t batch = 50;
    for (std::uint32_t sent = 1; sent <= count; ++sent) {
      send(port, datagram(sent));
      if (sent % batch == 0 || sent == count) {
        ASSERT_TRUE(test::eventually([&reader, sent] { return reader.datagramCount == sent; })) << sent;
      }
    }
  }

  test::CapturedLog log_;
  net::SocketOwner sender_{net::openSocket(net::SocketKind::datagram)};
  std::vector<std::unique_ptr<RecordingReader>> readers_;
  std::vector<std::thread> threads_;
};

TEST_F(UdpReaders, TrafficAndWeatherArriveThroughTheReaderThreads) {
  threads_.emplace_back(lf_qnhReaderThread, 0);
  threads_.emplace_back(lf_trafficReaderThread, 0);
  const std::uint16_t weatherPort = waitForPort(qnhReader);
  const std::uint16_t trafficPort = waitForPort(trafficReader);
  EXPECT_EQ(mainWindow.trafficLamp, 1U);
  EXPECT_EQ(mainWindow.weatherLamp, 1U);

  send(weatherPort, R"({"QNH":1020})");
  send(trafficPort, test::TrafficLine{}.text());
  EXPECT_TRUE(test::eventually([] { return currentQnh == 1020; }));
  EXPECT_TRUE(test::eventually([] {
    const std::lock_guard lock{trafficQueueMutex};
    return trafficQueue.size() == 1 && trafficQueue.front().callsign == "BAW123";
  }));

  gf_stopReaders();
  EXPECT_TRUE(gf_waitForReadersToStop(std::chrono::seconds{10}));
  EXPECT_EQ(mainWindow.trafficLamp, 3U);
  EXPECT_EQ(trafficReader.boundPort, 0);
  EXPECT_TRUE(log_.holds("          QNH Reader connected\n"));
  for (const char* line : {"Traffic Reader has stopped\n", "          Traffic Reader disconnected\n",
                           "QNH Reader has stopped\n", "          QNH Reader disconnected\n"}) {
    EXPECT_TRUE(log_.holds(line)) << line;
  }
}

TEST_F(UdpReaders, RepeatsAreDroppedUnlessTheServiceRunsOnThisComputer) {
  RecordingReader& remote = startReader();
  for (const char* datagram : {"A", "A", "B", "A"}) {
    send(remote.boundPort, datagram);
  }
  EXPECT_TRUE(test::eventually([&remote] { return remote.datagramCount == 4; }));
  EXPECT_EQ(remote.received(), (std::vector<std::string>{"A", "B", "A"}));

  realTrafficDetected = true;
  RecordingReader& local = startReader();
  for (const char* datagram : {"A", "A", "B", "A"}) {
    send(local.boundPort, datagram);
  }
  EXPECT_TRUE(test::eventually([&local] { return local.datagramCount == 4; }));
  EXPECT_EQ(local.received(), (std::vector<std::string>{"A", "A", "B", "A"}));
  local.stop = true;
  remote.stop = true;
  EXPECT_TRUE(test::eventually([&] { return local.stopped && remote.stopped; }));
}

TEST_F(UdpReaders, OversizeDatagramsAreLoggedAndTheReaderGoesOn) {
  RecordingReader& reader = startReader();
  send(reader.boundPort, std::string(datagramCapacity, 'x'));
  send(reader.boundPort, std::string(20000, 'y'));
  send(reader.boundPort, "next");

  EXPECT_TRUE(test::eventually([&reader] { return !reader.received().empty(); }));
  EXPECT_EQ(reader.received(), std::vector<std::string>{"next"});
  EXPECT_EQ(reader.datagramCount, 1U);
  EXPECT_TRUE(log_.holds("buffer overrun: 16384 bytes\n"));
  EXPECT_TRUE(log_.holds("buffer overrun: more than 16384 bytes\n"));
}

TEST_F(UdpReaders, AFloodOfMalformedDatagramsLeavesTheLogSmallAndTheReadersTakingGoodOnes) {
  threads_.emplace_back(lf_qnhReaderThread, 0);
  threads_.emplace_back(lf_trafficReaderThread, 0);
  const std::uint16_t weatherPort = waitForPort(qnhReader);
  const std::uint16_t trafficPort = waitForPort(trafficReader);
  const std::size_t logBefore = log_.text().size();

  // Every datagram differs from the one before, so the repeat filter lets each through. Now and then a traffic line
  // is nearly as long as a datagram can be, with a bad altitude whose message names the whole line.
  flood(trafficPort, trafficReader, 10'000, [](std::uint32_t n) {
    auto line = test::TrafficLine{};
    if (n % 1000 == 0) {
      return line.set(4, std::string(16000 - line.text().size(), '7') + "x").text();
    }
    return line.set(2, fmt::format("north{}", n)).text();
  });
  flood(weatherPort, qnhReader, 1'000, [](std::uint32_t n) {
    const std::array<std::string, 3> kinds{fmt::format("QNH={}", n), fmt::format(R"({{"QNH":"high {}"}})", n),
                                           fmt::format(R"({{"qnh":{}}})", n)};
    return kinds.at(n % kinds.size());
  });
  EXPECT_LT(log_.text().size() - logBefore, 200'000U);

  send(trafficPort, test::TrafficLine{}.text());
  send(weatherPort, R"({"QNH":1020})");
  EXPECT_TRUE(test::eventually([] {
    const std::lock_guard lock{trafficQueueMutex};
    return trafficQueue.size() == 1;
  }));
  EXPECT_TRUE(test::eventually([] { return currentQnh == 1020; }));
  EXPECT_TRUE(log_.holds("exception in processLineSub: lat:north1\n"));

  gf_stopReaders();
  EXPECT_TRUE(gf_waitForReadersToStop(std::chrono::seconds{10}));
  for (const char* reader : {"Traffic Reader: ", "QNH Reader: "}) {
    const auto line = log_.body().find(reader);
    ASSERT_NE(line, std::string::npos) << reader;
    EXPECT_NE(log_.body().find(" more malformed datagrams left out of the log\n", line), std::string::npos) << reader;
  }
}

TEST_F(UdpReaders, APortInUseEndsTheReaderWithARestart) {
  net::SocketOwner holder{net::openSocket(net::SocketKind::datagram)};
  ASSERT_EQ(net::bindTo(holder.get(), net::anyAddress(0)), 0);

  lf_qnhReaderThread(net::localPort(holder.get()));

  EXPECT_EQ(
      gf_statusText().rfind("The QNH Reader has stopped with error: bind to stream socket failed, error: 10048", 0), 0U)
      << gf_statusText();
  EXPECT_EQ(exitReason, ExitReason::readerError);
  EXPECT_TRUE(log_.holds("          QNH Reader disconnected\n"));
  EXPECT_FALSE(qnhReader.threadRunning);
}

TEST_F(UdpReaders, TheActivityCheckShowsSilentAndReceivingReaders) {
  mainWindow.realTrafficLamp = true;
  gf_checkReaderActivity();
  EXPECT_EQ(mainWindow.weatherLamp, 2U);
  EXPECT_EQ(mainWindow.trafficLamp, 2U);
  EXPECT_FALSE(weatherReceiving);

  qnhReader.datagramCount = 3;
  gf_checkReaderActivity();
  EXPECT_EQ(mainWindow.weatherLamp, 1U);
  EXPECT_EQ(mainWindow.trafficLamp, 2U);
  EXPECT_TRUE(weatherReceiving);

  mainWindow.realTrafficLamp = false;  // the link is down: the lamps keep what they show
  gf_checkReaderActivity();
  EXPECT_EQ(mainWindow.weatherLamp, 1U);
}

}  // namespace
}  // namespace cvl

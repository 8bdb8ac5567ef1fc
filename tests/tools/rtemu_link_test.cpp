#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "platform/net/socket_owner.h"
#include "rtemu/emulator.h"
#include "rtemu/traffic_link.h"
#include "support/eventually.h"
#include "support/temp_folder.h"

namespace cvl::rtemu {
namespace {

using namespace std::chrono_literals;

// Long enough for any loaded machine; only a failing test waits this long.
constexpr auto patience = 10s;

using test::eventually;

// Corvalen's side of the link: a listening socket on a free loopback port.
class CorvalenServer {
 public:
  CorvalenServer() {
    EXPECT_EQ(net::bindTo(listener_.get(), net::loopbackAddress(0)), 0);
    EXPECT_EQ(net::listenOn(listener_.get(), net::maxBacklog), 0);
  }

  std::uint16_t port() const { return net::localPort(listener_.get()); }

  // Waits for the emulator to connect; the connection becomes the current one.
  bool accept() {
    connection_.reset(net::acceptConnection(listener_.get(), patience));
    return connection_.valid();
  }

  void send(std::string_view bytes) { EXPECT_EQ(net::send(connection_.get(), bytes), static_cast<int>(bytes.size())); }

  // What arrives next; empty at the end of the stream.
  std::string receive() {
    std::array<char, 1024> buffer{};
    EXPECT_EQ(net::waitReadable(connection_.get(), patience), 1);
    const int count = net::receive(connection_.get(), buffer);
    return count > 0 ? std::string(buffer.data(), static_cast<std::size_t>(count)) : std::string{};
  }

  bool nothingToRead() { return net::waitReadable(connection_.get(), 0ms) == 0; }

  void closeConnection() { connection_.reset(); }

 private:
  net::SocketOwner listener_{net::openSocket(net::SocketKind::stream)};
  net::SocketOwner connection_;
};

class RtemuLink : public ::testing::Test {
 protected:
  LinkSettings settings(std::string reply) { return {net::loopbackAddress(server_.port()), std::move(reply), 10ms}; }

  Notice collectNotices() {
    return [this](std::string_view text) {
      std::scoped_lock lock(noticesMutex_);
      notices_.emplace_back(text);
    };
  }

  std::vector<std::string> notices() {
    std::scoped_lock lock(noticesMutex_);
    return notices_;
  }

  test::TempFolder folder_;
  std::filesystem::path logPath_ = folder_.path() / "received.log";
  CorvalenServer server_;
  std::mutex noticesMutex_;
  std::vector<std::string> notices_;
};

TEST_F(RtemuLink, AnswersTheVersionRequestLogsEveryLineAndComesBackAfterCorvalenCloses) {
  ReceivedLog log(logPath_);
  TrafficLink link(settings(versionReply(Edition::professional, "9.1")), log, collectNotices());
  link.start();
  ASSERT_TRUE(server_.accept());

  server_.send("Qs999=version\r\n");
  const auto reply = nlohmann::json::parse(server_.receive());
  EXPECT_EQ(reply.value("level", 0), 2);
  EXPECT_EQ(reply.value("version", ""), "9.1");

  // Lines split over segments and several lines in one segment.
  server_.send("Qs121=5e+03;0;1.500000;4e+06;250");
  server_.send("500;0.898321;-0.007929\r\nQs123=1700000000000\r\n");
  server_.send("exit\r\n");
  server_.closeConnection();

  ASSERT_TRUE(eventually([&] { return log.count() == 4; }));
  EXPECT_EQ(test::readFile(logPath_),
            "Qs999=version\nQs121=5e+03;0;1.500000;4e+06;250500;0.898321;-0.007929\nQs123=1700000000000\nexit\n");
  for (const std::string& notice : notices()) {
    EXPECT_EQ(notice.find("does not read"), std::string::npos) << notice;
  }

  ASSERT_TRUE(server_.accept());
  EXPECT_EQ(link.connections(), 2);
}

TEST_F(RtemuLink, AServiceThatDoesNotAnswerSendsNothing) {
  ReceivedLog log(logPath_);
  TrafficLink link(settings(""), log, collectNotices());
  link.start();
  ASSERT_TRUE(server_.accept());

  server_.send("Qs999=version\r\n");
  server_.send("exit\r\n");
  ASSERT_TRUE(eventually([&] { return log.count() == 2; }));
  EXPECT_TRUE(server_.nothingToRead());
}

TEST_F(RtemuLink, DropAndReconnectCommandsCloseAndReopenTheLink) {
  const std::filesystem::path recordingPath = folder_.path() / "traffic.txt";
  test::writeFile(recordingPath, "0 weather {\"QNH\":1013}\n");
  net::SocketOwner weather{net::openSocket(net::SocketKind::datagram)};
  ASSERT_EQ(net::bindTo(weather.get(), net::loopbackAddress(0)), 0);

  Options options;
  options.port = server_.port();
  options.replay = recordingPath;
  options.log = logPath_;
  options.weatherPort = net::localPort(weather.get());
  Emulator emulator(options, collectNotices());
  emulator.start();
  ASSERT_TRUE(server_.accept());
  // The replay starts with the link.
  EXPECT_EQ(net::waitReadable(weather.get(), patience), 1);
  EXPECT_TRUE(eventually([&] { return emulator.finished(); }));

  EXPECT_TRUE(emulator.command("drop"));
  EXPECT_EQ(server_.receive(), "");  // the emulator closed its end
  EXPECT_TRUE(emulator.command(" reconnect\r\n"));
  ASSERT_TRUE(server_.accept());
  server_.send("Qs121=0;0;1.500000;3500000;250500;0.898321;-0.007929\r\n");
  EXPECT_TRUE(eventually([&] { return test::readFile(logPath_).starts_with("Qs121="); }));

  EXPECT_TRUE(emulator.command("status"));
  EXPECT_FALSE(emulator.command("quit"));
  EXPECT_EQ(notices().back(), "unknown command 'status' (drop, reconnect, quit)");
}

}  // namespace
}  // namespace cvl::rtemu

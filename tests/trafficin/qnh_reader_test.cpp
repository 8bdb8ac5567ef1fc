#include "trafficin/qnh_reader.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "app/main_window.h"
#include "traffic_test_support.h"
#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

class QnhDatagrams : public ::testing::Test {
 protected:
  void SetUp() override {
    test::resetTrafficInput();
    qnhReader.lastQnh = 0;
    currentQnh = 0;
    mainWindow.weatherLamp = 1;
    qnhReader.malformedLog.now = [this] { return now_; };
  }
  void TearDown() override { test::resetTrafficInput(); }

  void receive(const std::string& datagram) {
    datagram_ = datagram;
    qnhReader.data = datagram_.data();
    qnhReader.length = datagram_.size();
    qnhReader.onDatagram();
  }

  test::CapturedLog log_;
  std::string datagram_;
  std::chrono::steady_clock::time_point now_;
};

TEST_F(QnhDatagrams, HectopascalsAndInchesOfMercuryWithinTheLimits) {
  const std::vector<std::pair<std::string, int>> table{
      {R"({"QNH":2992})", 1013},    {R"({"QNH":"1020"})", 1020},   {R"({"QNH":850})", 900},
      {R"({"QNH":1013.6})", 1014},  {R"({"QNH":"998 hPa"})", 998}, {R"({"QNH":3100})", 1050},
      {R"({"QNH":4000000})", 1100}, {R"({"QNH":-20})", 900},
  };
  for (const auto& [datagram, expected] : table) {
    receive(datagram);
    EXPECT_EQ(currentQnh, expected) << datagram;
    EXPECT_EQ(trafficReader.qnh, expected) << datagram;
    EXPECT_EQ(mainWindow.qnh, expected) << datagram;
  }
  EXPECT_EQ(log_.body(), "");
}

TEST_F(QnhDatagrams, DatagramsWithoutAUsableValueAreLoggedAndChangeNothing) {
  receive(R"({"QNH":1020})");
  const std::vector<std::pair<std::string, std::string>> table{
      {R"({"QNH":true})", "no QNH {\"QNH\":true}"},
      {R"({"qnh":1000})", "no QNH {\"qnh\":1000}"},
      {R"({"QNH":null})", R"(no QNH {"QNH":null})"},
      {R"({"QNH":{}})", R"(no QNH {"QNH":{}})"},
      {R"([1000])", "no QNH [1000]"},
      {R"({"QNH":"high"})", "==> QNH string parse error: high\n"},
      {R"({"QNH":"99999999999"})", "QNH string parse error: 99999999999"},
      {R"({"QNH":1e20})", "Exception "},
      {R"({"QNH":99999999999})", "Exception "},
      {"QNH=1000", "Exception "},
      {R"({"QNH":10)", "Exception "},
      {R"({"QNH":"x\nno QNH"})", "QNH string parse error: x\\nno QNH\n"},
  };
  for (const auto& [datagram, message] : table) {
    now_ += std::chrono::minutes{1};  // only a few malformed datagrams a minute are logged
    receive(datagram);
    EXPECT_EQ(currentQnh, 1020) << datagram;
    EXPECT_TRUE(log_.holds(message)) << datagram;
  }
}

TEST_F(QnhDatagrams, LongBadDatagramsAreLoggedOnceAsTheirBeginningAndTheirLength) {
  const std::string filler(16000, 'a');
  const std::string badText = R"({"QNH":")" + filler + R"("})";
  // A QNH text that is no number is shown alone; it is all of the datagram that matters.
  const std::vector<std::pair<std::string, std::size_t>> table{{badText, filler.size()},
                                                               {R"({"QNH":true,"x":")" + filler + R"("})", 0},
                                                               {R"({"QNH":")" + filler, 0},
                                                               {"[" + filler, 0}};
  for (const auto& [datagram, shownLength] : table) {
    const std::size_t before = log_.text().size();
    receive(datagram);
    const std::string logged = log_.text().substr(before);
    EXPECT_LT(logged.size(), 300U) << logged;
    const std::string excerpt = fmt::format("aaa... ({} bytes)", shownLength > 0 ? shownLength : datagram.size());
    EXPECT_NE(logged.find(excerpt), std::string::npos) << logged;
    EXPECT_EQ(logged.find("aaa..."), logged.rfind("aaa...")) << logged;
  }
}

TEST_F(QnhDatagrams, StandardPressureIsPublishedEveryTimeOtherValuesOnlyWhenTheyChange) {
  receive(R"({"QNH":1020})");
  mainWindow.weatherLamp = 2;
  receive(R"({"QNH":1020})");
  EXPECT_EQ(mainWindow.weatherLamp, 2U);  // unchanged: not published again

  receive(R"({"QNH":1021})");
  EXPECT_EQ(mainWindow.weatherLamp, 1U);  // a change shows at once

  receive(R"({"QNH":1013})");
  currentQnh = 0;
  mainWindow.weatherLamp = 2;
  receive(R"({"QNH":1013})");
  EXPECT_EQ(currentQnh, 1013);
  EXPECT_EQ(mainWindow.weatherLamp, 1U);
}

}  // namespace
}  // namespace cvl

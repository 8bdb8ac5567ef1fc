#include <fmt/format.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "engine/tick_count.h"
#include "foundation/text_encoding.h"
#include "traffic_test_support.h"
#include "trafficin/traffic_queue.h"
#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

using test::TrafficLine;

constexpr double degree = 0.017453292519943295;

class TrafficLineParser : public ::testing::Test {
 protected:
  void SetUp() override {
    test::resetTrafficInput();
    trafficReader.malformedLog.now = [this] { return now_; };
  }
  void TearDown() override { test::resetTrafficInput(); }

  // Only a few malformed lines a minute are logged: tests that look at more let a minute pass between them.
  void aMinuteLater() { now_ += std::chrono::minutes{1}; }

  // Hands the line to the parser as the receive loop would, and returns the item it queued, if any.
  std::optional<TrafficItem> parse(const std::string& line) {
    datagram_ = line;
    trafficReader.data = datagram_.data();
    trafficReader.length = datagram_.size();
    trafficReader.onDatagram();
    const std::lock_guard lock{trafficQueueMutex};
    if (trafficQueue.empty()) {
      return std::nullopt;
    }
    TrafficItem item = std::move(trafficQueue.front());
    trafficQueue.clear();
    return item;
  }

  test::CapturedLog log_;
  std::string datagram_;
  std::chrono::steady_clock::time_point now_;
};

TEST_F(TrafficLineParser, AnAcceptedLineBecomesAnItemDue3000TicksLater) {
  tickCount = 500;
  const auto item = parse(TrafficLine{}.text());
  tickCount = 0;

  ASSERT_TRUE(item);
  EXPECT_EQ(item->hexid, 4840000U);
  EXPECT_EQ(item->callsign, "BAW123");
  EXPECT_EQ(item->type, "A320");
  EXPECT_EQ(item->registration, "G-EUPT");
  EXPECT_EQ(item->origin, "LHR");
  EXPECT_EQ(item->destination, "EDI");
  EXPECT_TRUE(item->airline.empty());
  EXPECT_DOUBLE_EQ(item->timestamp, 1700000000.5);
  EXPECT_DOUBLE_EQ(trafficReader.latestTime, 1700000000.5);
  const TimedPosition& position = item->position;
  EXPECT_EQ(position.dueTick, 3500);
  EXPECT_DOUBLE_EQ(position.lat, 51.47);
  EXPECT_DOUBLE_EQ(position.altitude, 3500.0);
  EXPECT_TRUE(position.airborne);
  EXPECT_DOUBLE_EQ(position.groundSpeed, 160.0);
  EXPECT_DOUBLE_EQ(position.track, 270.5);
  EXPECT_DOUBLE_EQ(position.verticalSpeed, -768.0);
  EXPECT_DOUBLE_EQ(position.tas, 180.0);
  ASSERT_TRUE(position.roll && position.trueHeading);
  EXPECT_DOUBLE_EQ(*position.roll, 2.5 * degree);
  EXPECT_DOUBLE_EQ(*position.trueHeading, 271.0 * degree);
  EXPECT_TRUE(position.hasTrueHeading);
  EXPECT_EQ(log_.body(), "");
}

TEST_F(TrafficLineParser, FilteredLinesAreDroppedWithoutAWord) {
  const std::vector<std::pair<std::string, std::string>> dropped{
      {"a vehicle", TrafficLine{}.set(10, "GRND VEH").text()},
      {"a short line", "x,4840000,51.47,-0.4543,3500"},
      {"a static id", TrafficLine{}.set(1, "1234").text()},
      {"a static id with text after it", TrafficLine{}.set(1, "12ab").text()},
      {"beyond the range", TrafficLine{}.set(2, "48.0").text()},
      {"a long registration", TrafficLine{}.set(11, "ABCDEFGHIJKLM").text()},
      {"no type", TrafficLine{}.set(10, "ZZZZ").text()},
      {"type 0", TrafficLine{}.set(10, "0").text()},
      {"a refused category", TrafficLine{}.set(28, "C2").text()},
      {"a glider", TrafficLine{}.set(10, "GLID").set(28, "A1").text()},
      {"a long type", TrafficLine{}.set(10, "A320NEO").text()},
      {"a placeholder callsign", TrafficLine{}.set(9, "ERARMTR1").text()},
      {"no names", TrafficLine{}.set(9, "null").set(11, "null").text()},
      {"an '@' callsign and no registration", TrafficLine{}.set(9, "BAW@").set(11, "null").text()},
      {"a ground line without a park airport", TrafficLine{}.set(4, "0").set(8, "5").text()},
  };
  for (const auto& [what, line] : dropped) {
    EXPECT_FALSE(parse(line)) << what;
  }
  EXPECT_EQ(log_.body(), "");
}

TEST_F(TrafficLineParser, BadFieldsAreLoggedAndTheLineDropped) {
  const std::vector<std::pair<std::string, std::string>> failing{
      {TrafficLine{}.set(1, "abc").text(), "hexid incorrectabc"},
      {TrafficLine{}.set(1, "99999999999").text(), "hexid incorrect99999999999"},
      {TrafficLine{}.set(2, "0.00005").set(3, "-0.00005").text(), "invalid lalo: 0.000050,-0.000050"},
      {TrafficLine{}.set(2, "91").text(), "invalid lalo: 91.000000,-0.454300"},
      {TrafficLine{}.set(2, " 51.47").text(), "lat: 51.47"},
      {TrafficLine{}.set(3, "+0.4").text(), "lon:+0.4"},
      {TrafficLine{}.set(2, "nan").text(), "lat:nan"},
      {TrafficLine{}.set(8, "").text(), "gs:"},
      {TrafficLine{}.set(4, "high").text(), "altitude high incorrect, from: x,4840000,"},
      {TrafficLine{}.set(7, "west").text(), "track incorrect west"},
      {TrafficLine{}.set(20, "fast").text(), "TAS incorrectfast"},
      {TrafficLine{}.set(25, "400").text(), "trueheading: 400.00"},
      {TrafficLine{}.set(23, "left").text(), "roll:left"},
  };
  for (const auto& [line, message] : failing) {
    aMinuteLater();
    EXPECT_FALSE(parse(line)) << message;
    EXPECT_TRUE(log_.holds("exception in processLineSub: " + message)) << message;
  }
}

TEST_F(TrafficLineParser, TextFieldsThatAreNoCleanUtf8DropTheLine) {
  const std::vector<std::pair<TrafficLine, std::string>> failing{
      {TrafficLine{}.set(9, "BAW\xFF-1"), "callsign"},
      {TrafficLine{}.set(10, std::string{"A32\0", 4}), "type"},
      {TrafficLine{}.set(11, "G-EU\x01T"), "registration"},
      {TrafficLine{}.set(12, "LH\xC3"), "origin"},
      {TrafficLine{}.set(13, "ED\xED\xA0\x80"), "destination"},
      {TrafficLine{}.set(9, "BAW\x7F"), "callsign"},
      {TrafficLine{}.set(9,
                         "BAW\xC2\x9B"
                         "2J"),
       "callsign"},  // a control character beyond ASCII drives a terminal too
      {TrafficLine{}.set(9, "BAW\xE2\x80\xA8==> 1"), "callsign"},  // editors break lines at U+2028 and U+2029
      {TrafficLine{}.set(11, "G-EU\xE2\x80\xA9"), "registration"},
  };
  trafficReader.recordCallsigns = true;
  for (const auto& [line, field] : failing) {
    aMinuteLater();
    EXPECT_FALSE(parse(line.text())) << field;
    EXPECT_TRUE(log_.holds("exception in processLineSub: " + field + " of hexid 4840000 is not clean UTF-8 text\n"))
        << field;
  }
  EXPECT_TRUE(trafficReader.callsignsSeen().empty());

  const auto item = parse(TrafficLine{}.set(9, "ÆBC1").set(13, "Zürich").text());
  ASSERT_TRUE(item);
  EXPECT_EQ(item->callsign, "ÆBC1");
  EXPECT_EQ(item->destination, "Zürich");
}

TEST_F(TrafficLineParser, MalformedLinesAreLoggedAFewAMinuteAndTheOthersCounted) {
  std::string logged;
  for (int line = 1; line <= 8; ++line) {
    EXPECT_FALSE(parse(TrafficLine{}.set(2, fmt::format("north{}", line)).text()));
    if (line <= 5) {
      logged += fmt::format("exception in processLineSub: lat:north{}\n", line);
    }
  }
  EXPECT_TRUE(parse(TrafficLine{}.text()));  // a good line is taken all the same

  now_ += std::chrono::seconds{59};
  trafficReader.malformedLog.reportWhenDue();
  EXPECT_EQ(log_.body(), logged);
  now_ += std::chrono::seconds{1};
  trafficReader.malformedLog.reportWhenDue();
  logged += "Traffic Reader: 3 more malformed datagrams left out of the log\n";
  EXPECT_EQ(log_.body(), logged);

  EXPECT_FALSE(parse(TrafficLine{}.set(2, "north9").text()));
  EXPECT_EQ(log_.body(), logged + "exception in processLineSub: lat:north9\n");
}

TEST_F(TrafficLineParser, TextsLongerThanAnyReportHoldsAreRefusedAndLogged) {
  const std::string longest(16, 'A');
  const auto item =
      parse(TrafficLine{}.set(9, longest).set(10, longest).set(28, "null").set(12, longest).set(13, longest).text());
  ASSERT_TRUE(item);
  EXPECT_EQ(item->callsign, longest);
  EXPECT_EQ(item->type, longest);
  EXPECT_EQ(item->origin, longest);
  EXPECT_EQ(item->destination, longest);

  for (const auto& [field, name] : std::vector<std::pair<std::size_t, std::string>>{
           {9, "callsign"}, {10, "type"}, {12, "origin"}, {13, "destination"}}) {
    EXPECT_FALSE(parse(TrafficLine{}.set(field, longest + "B").set(28, "null").text())) << name;
    EXPECT_TRUE(log_.holds("exception in processLineSub: " + name +
                           " of hexid 4840000 is longer than 16 bytes: AAAAAAAAAAAAAAAA... (17 bytes)\n"))
        << name;
  }
  const std::size_t before = log_.text().size();
  EXPECT_FALSE(parse(TrafficLine{}.set(9, std::string(16000, 'C')).text()));
  EXPECT_LT(log_.text().size() - before, 200U);
}

TEST_F(TrafficLineParser, OutsideTextCannotForgeLogLines) {
  EXPECT_FALSE(parse(TrafficLine{}.set(1, "abc\n==> Error: forged\x07\x1b[2J\r").text()));
  EXPECT_EQ(log_.body(), "exception in processLineSub: hexid incorrectabc\\n==> Error: forged\\x07\\x1b[2J\\r\n");

  // Terminals take the control characters beyond ASCII, next line and control sequence, as the bytes above.
  aMinuteLater();
  EXPECT_FALSE(parse(TrafficLine{}
                         .set(1,
                              "abc\xC2\x85==> Error: forged\xC2\x9B"
                              "2J")
                         .text()));
  EXPECT_TRUE(log_.holds("exception in processLineSub: hexid incorrectabc\\u0085==> Error: forged\\u009b2J\n"))
      << log_.body();

  // Nor can bytes that are no UTF-8 (terminals of one-byte character sets take 0x85 and 0x9B as those), nor the line
  // and paragraph separators that editors break lines at; the log stays UTF-8.
  aMinuteLater();
  EXPECT_FALSE(parse(TrafficLine{}
                         .set(1,
                              "abc\x85==> A\x9b"
                              "2J\xE2\x80\xA8==> B\xE2\x80\xA9\xC3\xA9\xC3")
                         .text()));
  EXPECT_TRUE(log_.holds("hexid incorrectabc\\x85==> A\\x9b2J\\u2028==> B\\u2029\xC3\xA9\\xc3\n")) << log_.body();
  EXPECT_TRUE(gf_isUtf8(log_.text(), false));

  // Escaped control bytes take more room, yet the line stays as short as an excerpt.
  const std::size_t before = log_.text().size();
  EXPECT_FALSE(parse(TrafficLine{}.set(4, std::string(16000, '\x1b')).text()));
  const std::string logged = log_.text().substr(before);
  EXPECT_LT(logged.size(), 200U) << logged;
  EXPECT_EQ(logged.find('\x1b'), std::string::npos) << logged;
}

TEST_F(TrafficLineParser, ALineThatGetsFarEnoughSetsTheLatestTimeEvenWhenDropped) {
  EXPECT_FALSE(parse(TrafficLine{}.set(14, "1700000100").set(10, "ZZZZ").text()));
  EXPECT_DOUBLE_EQ(trafficReader.latestTime, 1700000100.0);

  {
    const std::lock_guard lock{trafficQueueMutex};
    acceptTraffic = false;
  }
  EXPECT_FALSE(parse(TrafficLine{}.set(14, "1700000200").text()));
  EXPECT_DOUBLE_EQ(trafficReader.latestTime, 1700000200.0);
}

TEST_F(TrafficLineParser, AnImplausibleTimestampNeverBecomesTheLatestTime) {
  parse(TrafficLine{}.set(14, "1700000000").text());
  for (const std::string timestamp : {"1e300", "-5", "0", "inf", "4200000000", "soon"}) {
    aMinuteLater();
    EXPECT_FALSE(parse(TrafficLine{}.set(14, timestamp).text())) << timestamp;
    EXPECT_TRUE(log_.holds("exception in processLineSub: timestamp:" + timestamp + "\n")) << timestamp;
  }
  EXPECT_DOUBLE_EQ(trafficReader.latestTime, 1700000000.0);
}

TEST_F(TrafficLineParser, GroundRulesUseTheParkAirportsElevation) {
  trafficReader.setParkAirport(ParkAirportPlace{{51.47, -0.4543}, 1470.0});
  trafficReader.setRefElevation(1470.0);
  const auto slow = parse(TrafficLine{}.set(4, "1500").set(8, "60").set(20, "-1").text());
  ASSERT_TRUE(slow);
  EXPECT_DOUBLE_EQ(slow->position.altitude, 0.0);
  EXPECT_FALSE(slow->position.airborne);
  EXPECT_FALSE(slow->position.roll);  // a ground line has no bank
  EXPECT_DOUBLE_EQ(slow->position.tas, 180.0);

  const auto fast = parse(TrafficLine{}.set(4, "1500").set(8, "150").text());
  ASSERT_TRUE(fast);
  EXPECT_TRUE(fast->position.airborne);

  trafficReader.setRefElevation(std::nullopt);
  const auto unknownGround = parse(TrafficLine{}.set(4, "1500").set(8, "60").text());
  ASSERT_TRUE(unknownGround);
  EXPECT_TRUE(unknownGround->position.airborne);
  const auto taxiing = parse(TrafficLine{}.set(4, "1500").set(8, "35").text());
  ASSERT_TRUE(taxiing);
  EXPECT_FALSE(taxiing->position.airborne);
}

TEST_F(TrafficLineParser, GroundLinesOnlyNearThePark) {
  trafficReader.setParkAirport(ParkAirportPlace{{51.47, -0.60}, 80.0});  // 5.5 nm west
  EXPECT_FALSE(parse(TrafficLine{}.set(4, "0").set(8, "10").text()));
  trafficReader.setParkAirport(ParkAirportPlace{{51.47, -0.55}, 80.0});  // 3.6 nm west
  EXPECT_TRUE(parse(TrafficLine{}.set(4, "0").set(8, "10").text()));
}

TEST_F(TrafficLineParser, AMissingTrueAirspeedComesFromTheAltitude) {
  const auto at7000 = parse(TrafficLine{}.set(4, "7000").set(20, "-1").text());
  ASSERT_TRUE(at7000);
  EXPECT_DOUBLE_EQ(at7000->position.tas, 250.0);
  const auto at30000 = parse(TrafficLine{}.set(4, "30000").set(20, "-1").text());
  ASSERT_TRUE(at30000);
  EXPECT_DOUBLE_EQ(at30000->position.tas, 430.0);
}

TEST_F(TrafficLineParser, TrueHeadingZeroIsNorthAndFillsAnEmptyTrack) {
  const auto north = parse(TrafficLine{}.set(25, "0").set(7, "").text());
  ASSERT_TRUE(north);
  EXPECT_DOUBLE_EQ(*north->position.trueHeading, 6.283185307179586);
  EXPECT_DOUBLE_EQ(north->position.track, 360.0);

  const auto unknown = parse(TrafficLine{}.set(25, "-1").set(7, "").text());
  ASSERT_TRUE(unknown);
  EXPECT_FALSE(unknown->position.trueHeading);
  EXPECT_FALSE(unknown->position.hasTrueHeading);
  EXPECT_DOUBLE_EQ(unknown->position.track, 0.0);

  const auto otherSource = parse(TrafficLine{}.set(17, "mlat").set(25, "999").text());
  ASSERT_TRUE(otherSource);  // the true heading is read only from transponders
  EXPECT_FALSE(otherSource->position.trueHeading);
}

TEST_F(TrafficLineParser, CallsignsAndRegistrations) {
  const auto masked = parse(TrafficLine{}.set(9, "BA@123").text());
  ASSERT_TRUE(masked);
  EXPECT_TRUE(masked->callsign.empty());
  const auto unregistered = parse(TrafficLine{}.set(11, "null").set(12, "null").text());
  ASSERT_TRUE(unregistered);
  EXPECT_TRUE(unregistered->registration.empty());
  EXPECT_TRUE(unregistered->origin.empty());
  const auto typeless = parse(TrafficLine{}.set(28, "null").text());
  EXPECT_TRUE(typeless);  // no category: the type alone decides
}

TEST_F(TrafficLineParser, AirborneOnlyKeepsTrafficWellAboveTheParkAirport) {
  AIRBORNE_ONLY.value = true;
  trafficReader.setParkAirport(ParkAirportPlace{{51.47, -0.4543}, 80.0});
  EXPECT_TRUE(parse(TrafficLine{}.text()));
  EXPECT_FALSE(parse(TrafficLine{}.set(4, "300").set(8, "150").text()));  // 220 ft above the airport
  EXPECT_FALSE(parse(TrafficLine{}.set(4, "0").set(8, "10").text()));     // on the ground
  trafficReader.setParkAirport(ParkAirportPlace{{51.47, -0.4543}, 2000.0});
  EXPECT_FALSE(parse(TrafficLine{}.set(4, "0").set(8, "10").text()));  // also at a high airport
}

TEST_F(TrafficLineParser, CallsignsAreRecordedBeforeTheLaterFilters) {
  trafficReader.recordCallsigns = true;
  parse(TrafficLine{}.set(9, "KLM1").set(10, "ZZZZ").text());
  parse(TrafficLine{}.set(9, "KLM2").set(1, "99").text());
  parse(TrafficLine{}.set(9, "KL@3").text());
  parse(TrafficLine{}.set(9, "KLM4").set(2, "48.0").text());  // out of range: before the recording
  trafficReader.recordCallsigns = false;
  parse(TrafficLine{}.set(9, "KLM5").text());

  EXPECT_EQ(trafficReader.callsignsSeen(), (std::unordered_set<std::string>{"KLM1", "KLM2"}));
}

}  // namespace
}  // namespace cvl

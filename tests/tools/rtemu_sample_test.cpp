#include <fmt/format.h>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "rtemu/recording.h"
#include "rtemu/round_identity.h"
#include "rtemu/traffic_time.h"

// The sample recording must be what the traffic line parser accepts: these checks hold every line to the layout.
namespace cvl::rtemu {
namespace {

std::vector<std::string_view> splitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t comma = line.find(','); comma != std::string_view::npos; comma = line.find(',')) {
    fields.push_back(line.substr(0, comma));
    line.remove_prefix(comma + 1);
  }
  fields.push_back(line);
  return fields;
}

double number(std::string_view field) {
  double value = NAN;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return error == std::errc{} && end == field.data() + field.size() ? value : NAN;
}

// Distance in nautical miles on a flat earth: good enough within a hundred miles.
double milesFromFrankfurt(double lat, double lon) {
  const double north = (lat - 50.0333) * 60.0;
  const double east = (lon - 8.5706) * 60.0 * std::cos(50.0333 * M_PI / 180.0);
  return std::hypot(north, east);
}

class RtemuSample : public ::testing::Test {
 protected:
  std::vector<RecordedDatagram> recording_ = readRecording(RTEMU_SAMPLE_RECORDING);
};

TEST_F(RtemuSample, EveryTrafficLineHasTheServicesLayout) {
  const double start = recordingStartTime(recording_).value_or(NAN);
  const std::set<std::string_view> nonAircraft{"BALL", "EMER", "GLID", "GRND", "GND", "PARA", "SERV", "SHIP", "VENT"};
  std::map<std::string, std::string> identityOfAddress;
  int ground = 0;
  int airborne = 0;
  for (const RecordedDatagram& datagram : recording_) {
    if (datagram.kind != DatagramKind::traffic) {
      continue;
    }
    const std::string& line = datagram.payload;
    const auto fields = splitFields(line);
    ASSERT_EQ(fields.size(), 29u) << line;
    EXPECT_EQ(line.find(" VEH"), std::string::npos) << line;
    EXPECT_GT(number(fields[1]), 10000.0) << line;
    EXPECT_LE(number(fields[1]), 0xFFFFFF) << line;
    EXPECT_LT(milesFromFrankfurt(number(fields[2]), number(fields[3])), 45.0) << line;
    for (const std::size_t field : {4, 5, 7, 8, 20, 23, 25}) {
      EXPECT_FALSE(std::isnan(number(fields[field]))) << field << ": " << line;
    }
    EXPECT_LE(number(fields[25]), 360.0) << line;
    EXPECT_TRUE(fields[9] != "null" || fields[11] != "null") << line;
    EXPECT_TRUE(fields[10].size() >= 2 && fields[10].size() <= 4 && !nonAircraft.contains(fields[10])) << line;
    EXPECT_LE(fields[11].size(), 12u) << line;
    EXPECT_NEAR(trafficTimestamp(line).value_or(0.0), start + datagram.offsetSeconds, 5.0) << line;
    EXPECT_TRUE(fields[17] == "adsb_icao" || fields[17] == "mlat") << line;
    EXPECT_TRUE(fields[28] == "A1" || fields[28] == "A3" || fields[28] == "A5") << line;
    (number(fields[4]) > 0.0 ? airborne : ground) += 1;

    const std::string identity = fmt::format("{},{}", fields[9], fields[11]);
    const auto [known, added] = identityOfAddress.emplace(std::string(fields[1]), identity);
    EXPECT_EQ(known->second, identity) << "one address, one aircraft: " << line;
  }
  EXPECT_GE(identityOfAddress.size(), 25u);
  EXPECT_GT(ground, 100);
  EXPECT_GT(airborne, 100);
}

TEST_F(RtemuSample, WeatherComesAsQnhInHectopascalsThroughoutTheTenMinutes) {
  int weather = 0;
  for (const RecordedDatagram& datagram : recording_) {
    if (datagram.kind == DatagramKind::weather) {
      const auto qnh = nlohmann::json::parse(datagram.payload).at("QNH");
      EXPECT_TRUE(qnh.is_number_integer() && qnh >= 900 && qnh <= 1100) << datagram.payload;
      ++weather;
    }
  }
  EXPECT_GE(weather, 50);
  EXPECT_GE(recording_.back().offsetSeconds, 540.0);
  EXPECT_LE(recording_.back().offsetSeconds, 600.0);
}

// The addresses and callsigns a round of a looped replay shows ("null" is no callsign).
std::set<std::string> identitiesOfRound(const std::vector<RecordedDatagram>& recording, unsigned round) {
  std::set<std::string> identities;
  for (const RecordedDatagram& datagram : recording) {
    if (datagram.kind == DatagramKind::traffic) {
      const std::string line = lineForRound(datagram.payload, round);
      const auto fields = splitFields(line);
      identities.emplace(fields[1]);
      if (fields[9] != "null") {
        identities.emplace(fields[9]);
      }
    }
  }
  return identities;
}

// Until the callsigns come round again (36 x 36 rounds, nine days of ten-minute rounds), no round of a looped replay
// shows an aircraft of the round before: one still shown from it would be taken for the new one and jump.
TEST_F(RtemuSample, EachRoundOfALoopShowsOtherAircraftThanTheRoundBefore) {
  std::vector<RecordedDatagram> firstReports;
  std::set<std::string> addresses;
  for (const RecordedDatagram& datagram : recording_) {
    if (datagram.kind == DatagramKind::traffic &&
        addresses.insert(std::string(splitFields(datagram.payload)[1])).second) {
      firstReports.push_back(datagram);
    }
  }
  auto previous = identitiesOfRound(firstReports, 0);
  for (unsigned round = 1; round < 36 * 36; ++round) {
    auto current = identitiesOfRound(firstReports, round);
    for (const std::string& identity : current) {
      ASSERT_FALSE(previous.contains(identity)) << identity << " in rounds " << round - 1 << " and " << round;
    }
    previous = std::move(current);
  }
}

}  // namespace
}  // namespace cvl::rtemu

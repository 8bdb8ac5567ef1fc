#include <fmt/format.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "rtemu/recording.h"
#include "rtemu/traffic_time.h"

namespace cvl::rtemu {
namespace {

// A traffic line in the service's 29-field layout with the given timestamp field.
std::string trafficLine(std::string_view timestamp) {
  return fmt::format(
      "TFC,4840000,50.0333,8.5706,3500,-768,0,249.9,160,DLH4AB,A320,D-AIZA,MUC,FRA,{},0,0,adsb_icao,0,0,"
      "180,0,0,-2.5,0,250.0,0,0,A3",
      timestamp);
}

std::string errorOf(std::string_view text) {
  try {
    parseRecording(text, "traffic.txt");
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "no error";
}

TEST(RtemuRecording, ReadsDatagramsAndSkipsCommentsAndBlankLines) {
  const auto recording = parseRecording(
      "# a comment\r\n\n0 weather {\"QNH\": 1017}\r\n0.5 traffic a,b c,d\n12.25 traffic \n", "traffic.txt");
  ASSERT_EQ(recording.size(), 3u);
  EXPECT_EQ(recording[0].kind, DatagramKind::weather);
  EXPECT_EQ(recording[0].payload, "{\"QNH\": 1017}");
  EXPECT_EQ(recording[1].offsetSeconds, 0.5);
  EXPECT_EQ(recording[1].payload, "a,b c,d");  // everything after the kind, blanks included
  EXPECT_EQ(recording[2].offsetSeconds, 12.25);
  EXPECT_EQ(recording[2].payload, "");  // an empty datagram is a datagram too
}

TEST(RtemuRecording, NamesTheFirstLineItCannotRead) {
  EXPECT_EQ(errorOf("0 traffic x\nsoon traffic x\n"), "traffic.txt:2: offset 'soon' is not a number of seconds");
  EXPECT_EQ(errorOf("-1 traffic x\n"), "traffic.txt:1: offset '-1' is not a number of seconds");
  EXPECT_EQ(errorOf("\n1 radio x\n"), "traffic.txt:2: kind 'radio' is neither traffic nor weather");
  EXPECT_EQ(errorOf("5 traffic x\n4 traffic y\n"), "traffic.txt:2: the offset goes back");
  EXPECT_EQ(errorOf("5\n"), "traffic.txt:1: kind '' is neither traffic nor weather");
}

TEST(RtemuRecording, ShiftingKeepsTheDecimalsAndEveryOtherField) {
  EXPECT_EQ(shiftTrafficTimestamp(trafficLine("1700000000.5"), 100.25), trafficLine("1700000100.8"));
  EXPECT_EQ(shiftTrafficTimestamp(trafficLine("1700000000"), 100.0), trafficLine("1700000100"));
  EXPECT_EQ(shiftTrafficTimestamp(trafficLine("1700000000.125x"), -0.125), trafficLine("1700000000.000x"));
}

TEST(RtemuRecording, LinesWithoutATimestampAreSentAsRecorded) {
  for (const std::string& line : {trafficLine(""), trafficLine("abc"), trafficLine("1e300"), std::string("a,b,c")}) {
    EXPECT_EQ(shiftTrafficTimestamp(line, 100.0), line);
    EXPECT_FALSE(trafficTimestamp(line).has_value()) << line;
  }
}

TEST(RtemuRecording, TheStartTimeComesFromTheFirstTrafficLineWithATimestamp) {
  const auto recording = parseRecording(
      fmt::format("0 weather {{\"QNH\":1013}}\n1 traffic {}\n2 traffic {}\n", trafficLine("x"), trafficLine("1000.5")),
      "t");
  EXPECT_EQ(recordingStartTime(recording), 998.5);
  EXPECT_FALSE(recordingStartTime({}).has_value());
}

}  // namespace
}  // namespace cvl::rtemu

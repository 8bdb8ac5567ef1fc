#include <gtest/gtest.h>

#include <span>
#include <string_view>
#include <vector>

#include "rtemu/options.h"
#include "rtemu/service_lines.h"

namespace cvl::rtemu {
namespace {

TEST(RtemuLines, TheVersionAnswerNamesTheEdition) {
  EXPECT_EQ(versionReply(Edition::professional, "9.1"), R"({"level":2,"version":"9.1"})");
  EXPECT_EQ(versionReply(Edition::standard, "10.0.1"), R"({"level":1,"version":"10.0.1"})");
}

TEST(RtemuLines, PositionLinesReadInEveryNumberForm) {
  const auto exponents = parsePositionLine("Qs121=5e+03;0;1.500000;4e+06;250500;0.898321;-0.007929");
  ASSERT_TRUE(exponents.has_value());
  EXPECT_EQ(exponents->pitch, 5000.0);
  EXPECT_EQ(exponents->altitude, 4000000.0);
  EXPECT_EQ(exponents->longitude, -0.007929);

  const auto whole = parsePositionLine("Qs121=1230;-250;6.283185;35000000;250500;0.873245;0.149608");
  ASSERT_TRUE(whole.has_value());
  EXPECT_EQ(whole->bank, -250.0);
  EXPECT_EQ(whole->groundSpeed, 250500.0);
  EXPECT_EQ(whole->latitude, 0.873245);
}

TEST(RtemuLines, BrokenPositionAndTimeLinesAreRecognised) {
  for (const char* line : {"Qs121=1;2;3;4;5;6", "Qs121=1;2;3;4;5;6;7;8", "Qs121=1;2;3;4;5;6;7;", "Qs121=1;;3;4;5;6;7",
                           "Qs121=1;2;3;4;5;6;x", "Qs121=1;2;3;4;5;6;nan", "Qs12=1;2;3;4;5;6;7"}) {
    EXPECT_FALSE(parsePositionLine(line).has_value()) << line;
  }
  EXPECT_EQ(parseTimeLine("Qs123=1700000000000"), 1700000000000);
  EXPECT_FALSE(parseTimeLine("Qs123=").has_value());
  EXPECT_FALSE(parseTimeLine("Qs123=17e11").has_value());
}

Options parse(std::vector<std::string_view> arguments) {
  return parseOptions(arguments);
}

TEST(RtemuLines, TheCommandLineSetsEverySetting) {
  const Options options =
      parse({"--port", "10747", "--replay", "traffic.txt", "--edition", "professional", "--log", "rt.log",
             "--traffic-port", "40005", "--weather-port", "40004", "--speed", "2.5", "--loop", "--reply", ""});
  EXPECT_EQ(options.port, 10747);
  EXPECT_EQ(options.replay, std::filesystem::path("traffic.txt"));
  EXPECT_EQ(options.edition, Edition::professional);
  EXPECT_EQ(options.log, std::filesystem::path("rt.log"));
  EXPECT_EQ(options.trafficPort, 40005);
  EXPECT_EQ(options.weatherPort, 40004);
  EXPECT_EQ(options.speed, 2.5);
  EXPECT_TRUE(options.loop);
  EXPECT_EQ(options.reply, "");

  const Options defaults = parse({});
  EXPECT_FALSE(defaults.port.has_value());
  EXPECT_EQ(defaults.trafficPort, 49005);
  EXPECT_EQ(defaults.weatherPort, 49004);
  EXPECT_EQ(defaults.edition, Edition::standard);
}

TEST(RtemuLines, TheCommandLineRefusesWhatItDoesNotKnow) {
  for (const auto& arguments : std::vector<std::vector<std::string_view>>{{"--port"},
                                                                          {"--port", "0"},
                                                                          {"--port", "65536"},
                                                                          {"--port", "10747x"},
                                                                          {"--speed", "0"},
                                                                          {"--edition", "prof"},
                                                                          {"--replay", "a", "b"}}) {
    EXPECT_THROW(parse(arguments), UsageError) << arguments.front();
  }
}

}  // namespace
}  // namespace cvl::rtemu

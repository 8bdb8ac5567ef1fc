#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "simemu/commands.h"
#include "simemu/options.h"

namespace cvl::simemu {
namespace {

std::variant<Options, std::string> parse(std::vector<std::string_view> arguments) {
  return parseOptions(arguments);
}

TEST(SimemuOptions, TheFixedCommandLineIsRead) {
  const auto parsed = parse({"--sim", "2024", "--port", "50500", "--state", "state.json", "--scenario", "s.json",
                             "--refuse-titles", "refused.txt"});
  ASSERT_TRUE(std::holds_alternative<Options>(parsed)) << std::get<std::string>(parsed);
  const auto& options = std::get<Options>(parsed);
  EXPECT_EQ(options.simYear, 2024);
  EXPECT_EQ(options.port, 50500);
  EXPECT_EQ(options.stateFile, "state.json");
  EXPECT_EQ(options.scenarioFile, "s.json");
  EXPECT_EQ(options.refusedTitlesFile, "refused.txt");

  const auto minimal = parse({"--state", "state.json", "--port", "0", "--sim", "2020"});
  ASSERT_TRUE(std::holds_alternative<Options>(minimal));
  EXPECT_FALSE(std::get<Options>(minimal).scenarioFile);
}

TEST(SimemuOptions, BadCommandLinesAreRefusedWithTheirReason) {
  const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases{
      {{"--sim", "2022", "--port", "1", "--state", "s"}, "--sim must be 2020 or 2024"},
      {{"--sim", "2020", "--port", "65536", "--state", "s"}, "--port must be a port number (0 takes a free one)"},
      {{"--sim", "2020", "--port", "12a", "--state", "s"}, "--port must be a port number (0 takes a free one)"},
      {{"--sim", "2020", "--port", "1"}, "--state is missing"},
      {{"--sim", "2020", "--port", "1", "--state"}, "--state needs a value"},
      {{"--sim", "2020", "--port", "1", "--state", "s", "--verbose", "1"}, "unknown option '--verbose'"},
  };
  for (const auto& [arguments, reason] : cases) {
    const auto parsed = parse(arguments);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << reason;
    EXPECT_EQ(std::get<std::string>(parsed), reason);
  }
}

TEST(SimemuCommands, TeleportTakesAnOptionalAltitude) {
  const auto withAltitude = parseCommand("teleport 51.47 -0.45 83");
  ASSERT_TRUE(withAltitude.command);
  const auto& teleport = std::get<TeleportCommand>(*withAltitude.command);
  EXPECT_DOUBLE_EQ(teleport.latitude, 51.47);
  EXPECT_DOUBLE_EQ(teleport.longitude, -0.45);
  EXPECT_EQ(teleport.altitudeFt, 83.0);

  const auto keepAltitude = parseCommand("  teleport\t40.64 -73.78  ");
  ASSERT_TRUE(keepAltitude.command);
  EXPECT_FALSE(std::get<TeleportCommand>(*keepAltitude.command).altitudeFt);
}

TEST(SimemuCommands, FlyGivesTheWholePointOfTheFlight) {
  const auto rolling = parseCommand("fly 50.0384 8.5866 364 249.9 142.5 ground");
  ASSERT_TRUE(rolling.command) << rolling.fault;
  const auto& point = std::get<FlyCommand>(*rolling.command).point;
  EXPECT_DOUBLE_EQ(point.latitude, 50.0384);
  EXPECT_DOUBLE_EQ(point.longitude, 8.5866);
  EXPECT_DOUBLE_EQ(point.altitudeFt, 364);
  EXPECT_DOUBLE_EQ(point.headingDeg, 249.9);
  EXPECT_DOUBLE_EQ(point.groundSpeedKt, 142.5);
  EXPECT_TRUE(point.onGround);
  EXPECT_FALSE(std::get<FlyCommand>(*parseCommand("fly 50.1 8.7 3000 30 250 air").command).point.onGround);
}

TEST(SimemuCommands, BadLinesAreRefusedAndBlankLinesIgnored) {
  for (const auto* line :
       {"teleport 50", "teleport north 8", "teleport 50 8 high", "teleport 91 8", "teleport 50 181",
        "fly 50 8 364 250 0", "fly 50 8 364 250 0 taxi", "fly 50 8 364 250 fast air", "fly 50 8 364 250 0 air now",
        "fly 50 181 364 250 0 air", "fly 50 8 364 361 0 air", "fly 50 8 364 -1 0 air", "fly 50 8 364 250 -5 ground",
        "fly 50 8 nan 250 0 air", "fly 50 8 364 250 inf air", "teleport 50 8 -inf", "pause now", "jump", "QUIT"}) {
    const auto parsed = parseCommand(line);
    EXPECT_FALSE(parsed.command) << line;
    EXPECT_FALSE(parsed.fault.empty()) << line;
  }
  const auto blank = parseCommand("   ");
  EXPECT_FALSE(blank.command);
  EXPECT_TRUE(blank.fault.empty());
  for (const auto* line : {"newflight", "pause", "resume", "quit"}) {
    EXPECT_TRUE(parseCommand(line).command) << line;
  }
}

}  // namespace
}  // namespace cvl::simemu

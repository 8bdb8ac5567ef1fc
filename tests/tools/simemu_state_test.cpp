#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "simemu/commands.h"
#include "simemu/sim_emulator.h"
#include "simemu/state_file.h"
#include "support/temp_folder.h"

namespace cvl::simemu {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

std::shared_ptr<SimEmulator> sampleEmulator() {
  EmulatorSettings settings{*identityOf(2020), sampleScenario(), {}};
  settings.scenario.traffic.push_back(settings.scenario.user);
  settings.scenario.traffic.back().tail = "AS-GEN";
  return std::make_shared<SimEmulator>(settings);
}

TEST(SimemuState, TheStateFileIsReplacedWhole) {
  TempFolder folder;
  const auto file = folder.path() / "state.json";
  auto emulator = sampleEmulator();
  ASSERT_FALSE(writeStateFile(file, emulator->state()));
  runCommand(*parseCommand("teleport 51.47 -0.45").command, *emulator);
  ASSERT_FALSE(writeStateFile(file, emulator->state()));

  const auto state = nlohmann::json::parse(readFile(file));
  EXPECT_EQ(state["sim"], "KittyHawk");
  EXPECT_DOUBLE_EQ(state["user"]["lat"], 51.47);
  EXPECT_DOUBLE_EQ(state["user"]["alt"], 364);
  ASSERT_EQ(state["objects"].size(), 1u);
  EXPECT_EQ(state["objects"][0]["tail"], "AS-GEN");
  EXPECT_GT(state["objects"][0]["id"], state["user"]["id"]);
  EXPECT_TRUE(state["objects"][0]["createdBy"].is_null());
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "state.json.tmp"));
}

TEST(SimemuState, AStateThatCannotBeWrittenLeavesTheOldFile) {
  TempFolder folder;
  const auto file = folder.path() / "state.json";
  writeFile(file, "{\"old\": true}\n");
  std::filesystem::create_directory(folder.path() / "state.json.tmp");  // the temporary name is taken
  EXPECT_TRUE(writeStateFile(file, sampleEmulator()->state()));
  EXPECT_EQ(readFile(file), "{\"old\": true}\n");
}

// Titles and tails come from clients: a text that is not UTF-8 must not stop the state from being written.
TEST(SimemuState, TextsThatAreNotUtf8AreWrittenReplaced) {
  TempFolder folder;
  EmulatorSettings settings{*identityOf(2024), sampleScenario(), {}};
  settings.scenario.user.title = "Caf\xe9 Livery";
  ASSERT_FALSE(writeStateFile(folder.path() / "state.json", SimEmulator(settings).state()));
  EXPECT_EQ(nlohmann::json::parse(readFile(folder.path() / "state.json"))["user"]["title"], "Caf\xef\xbf\xbd Livery");
}

TEST(SimemuState, CommandsShowInTheState) {
  auto emulator = sampleEmulator();
  for (const auto* line : {"pause", "newflight"}) {
    EXPECT_FALSE(runCommand(*parseCommand(line).command, *emulator).quit) << line;
  }
  auto state = emulator->state();
  EXPECT_EQ(state["paused"], true);
  EXPECT_FALSE(state["flightFile"].get<std::string>().empty());

  runCommand(*parseCommand("resume").command, *emulator);
  EXPECT_EQ(emulator->state()["paused"], false);
  EXPECT_TRUE(runCommand(*parseCommand("quit").command, *emulator).quit);
}

// A flight flown point by point: the user aircraft takes each point's heading, speed, altitude and on-ground state,
// while a teleport only moves it.
TEST(SimemuState, TheUserAircraftFliesThePointsItIsGiven) {
  auto emulator = sampleEmulator();
  const auto fly = [&](const char* line) { return runCommand(*parseCommand(line).command, *emulator).refusal; };
  EXPECT_EQ(fly("fly 50.0384 8.5866 364 249.9 140 ground"), "");
  EXPECT_EQ(fly("fly 50.0353 8.5744 1200 249.9 160 air"), "");
  auto user = emulator->state()["user"];
  EXPECT_DOUBLE_EQ(user["lat"], 50.0353);
  EXPECT_DOUBLE_EQ(user["lon"], 8.5744);
  EXPECT_DOUBLE_EQ(user["altAboveGround"], 1200 - 364);
  EXPECT_DOUBLE_EQ(user["heading"], 249.9);
  EXPECT_DOUBLE_EQ(user["airspeed"], 160);
  EXPECT_EQ(user["onGround"], false);

  runCommand(*parseCommand("teleport 50.2 8.7 3000").command, *emulator);
  user = emulator->state()["user"];
  EXPECT_DOUBLE_EQ(user["heading"], 249.9);
  EXPECT_DOUBLE_EQ(user["airspeed"], 160);
  EXPECT_EQ(user["onGround"], false);
}

// On the ground the reference point stands at most its static CG height (and a foot) above the ground; no point lies
// below it. A refused point leaves the aircraft where it was.
TEST(SimemuState, APointOffTheGroundItClaimsIsRefused) {
  auto emulator = sampleEmulator();
  const auto fly = [&](const char* line) { return runCommand(*parseCommand(line).command, *emulator).refusal; };
  EXPECT_EQ(fly("fly 50.04 8.57 374 90 15 ground"), "");
  EXPECT_EQ(fly("fly 50.05 8.58 375 90 15 ground"), "fly: 375 ft is off the ground, which lies at 364 ft");
  EXPECT_EQ(fly("fly 50.05 8.58 0 90 15 ground"), "fly: 0 ft is below the ground, which lies at 364 ft");
  EXPECT_EQ(fly("fly 50.05 8.58 300 90 150 air"), "fly: 300 ft is below the ground, which lies at 364 ft");
  const auto user = emulator->state()["user"];
  EXPECT_DOUBLE_EQ(user["lat"], 50.04);
  EXPECT_DOUBLE_EQ(user["alt"], 374);
  EXPECT_EQ(user["onGround"], true);
}

}  // namespace
}  // namespace cvl::simemu

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "emulator_process.h"
#include "program_process.h"
#include "user_computer.h"

namespace cvl::test {
namespace {

using namespace std::chrono_literals;

constexpr auto startLimit = 90s;
constexpr auto loopLimit = 90s;
constexpr auto stepLimit = 60s;
constexpr auto endLimit = 60s;
// Long enough for the program to see the paused flight: its tick looks every 10 ms.
constexpr auto pauseLength = 2s;

nlohmann::json stateOf(const std::filesystem::path& stateFile) {
  const auto state = readSimulatorState(stateFile);
  return state ? state->json : nlohmann::json{};
}

bool subscribedOnGroundEverySecond(const nlohmann::json& state) {
  if (!state.is_object() || state["clients"].size() != 1) {
    return false;
  }
  const auto& client = state["clients"][0];
  const auto& periodic = client["periodicRequests"];
  return client["name"] == "Corvalen" && std::find(periodic.begin(), periodic.end(), 108) != periodic.end();
}

// The installed program beside the simulator emulator with the sample scenario, as on a user's computer with the
// simulator running and no traffic service installed.
TEST(ProgramWithSimulator, FollowsTheUserAircraftUntilTheSimulatorQuits) {
  const UserComputer computer;
  const auto stateFile = computer.workFile("simemu-state.json");
  auto simulator = startSampleSimulator(stateFile);
  const std::string port = listeningPort(simulator);
  ASSERT_FALSE(port.empty());
  auto program = computer.startProgram({}, {{"CORVALEN_SIM_PORT", port}});

  ASSERT_TRUE(waitUntil([&] { return subscribedOnGroundEverySecond(stateOf(stateFile)); }, startLimit))
      << computer.log();
  // Without traffic the run loop starts after its wait for the first data; the log is written out on the loop's
  // 30-second beats.
  ASSERT_TRUE(computer.logShows("No traffic in this region?\n", loopLimit)) << computer.log();

  // The beat of the per-second work stops with the flight and comes back with it.
  simulator.command("pause");
  ASSERT_TRUE(waitUntil(
      [&] {
        const auto state = stateOf(stateFile);
        return state.is_object() && state.value("paused", false);
      },
      stepLimit));
  std::this_thread::sleep_for(pauseLength);
  simulator.command("resume");
  ASSERT_TRUE(computer.logShows(" Flight resumed\n", stepLimit)) << computer.log();

  simulator.command("quit");
  EXPECT_EQ(program.waitForExit(endLimit), 0);
  EXPECT_TRUE(simulator.ended(endLimit));
  const auto text = computer.log();
  EXPECT_NE(text.find("MSFS 2020 (11.0.1.0) connected\n"), std::string::npos) << text;
  EXPECT_NE(text.find("User aircraft title: Airbus A320neo Corvalen Sample\n"), std::string::npos) << text;
  EXPECT_NE(text.find("User aircraft model: A320, half wing span: 17.9 meter, category: Large\n"), std::string::npos);
  // One line for the pause; the flight stops again when the simulator quits.
  const auto paused = text.find(" Flight not running\n");
  const auto resumed = text.find(" Flight resumed\n");
  EXPECT_LT(paused, resumed) << text;
  EXPECT_GT(text.find(" Flight not running\n", paused + 1), resumed) << text;
  EXPECT_NE(text.find("Exiting: SIM WAS CLOSED\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace cvl::test

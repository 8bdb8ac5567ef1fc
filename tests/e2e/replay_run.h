#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "emulator_process.h"
#include "program_process.h"
#include "support/sample_data.h"
#include "user_computer.h"

namespace cvl::test {

// The installed program on the user's computer between the simulator emulator with a scenario (by default the sample)
// and the traffic-service emulator, which replays the recording from the moment it starts: what it sends before the
// program listens is lost, as over a real network. Every process ends with the object.
struct ReplayRun {
  ReplayRun(const UserComputer& computer, int servicePort, const std::filesystem::path& recording,
            const std::vector<std::string>& moreServiceArguments = {},
            const std::map<std::string, std::string>& moreProgramEnvironment = {},
            const std::filesystem::path& scenario = sampleDataFolder() / "scenario.json");

  // The simulator emulator's state after a pause (it writes one a second); nothing while there is none.
  std::optional<SimulatorState> nextState() const;

  const std::filesystem::path stateFile;
  EmulatorProcess simulator;
  // Empty when the simulator emulator did not start.
  const std::string simulatorPort;
  ProgramProcess program;
  const std::chrono::system_clock::time_point replayStart;
  EmulatorProcess service;
};

}  // namespace cvl::test

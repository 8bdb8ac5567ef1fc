#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cvl::test {

// An emulator (simemu, rtemu) as a process of its own: it reads its commands from a pipe, and its standard output
// comes through another. A process still running when the object goes is killed.
class EmulatorProcess {
 public:
  EmulatorProcess(const std::string& program, std::vector<std::string> arguments);
  ~EmulatorProcess();
  EmulatorProcess(const EmulatorProcess&) = delete;
  EmulatorProcess& operator=(const EmulatorProcess&) = delete;

  // The next line of output without its line end; nothing when the process ended first.
  std::optional<std::string> outputLine();
  void command(std::string_view line) const;
  bool ended(std::chrono::seconds limit);

 private:
  pid_t pid_ = 0;
  int commands_ = -1;
  std::FILE* output_ = nullptr;
};

// The simulator emulator as MSFS 2020 with a scenario, by default the sample (the user's A320 on the ground at
// Frankfurt, on none of its stands), listening on a free port and writing its state to the file.
EmulatorProcess startSimulator(const std::filesystem::path& stateFile, const std::filesystem::path& scenario);
EmulatorProcess startSampleSimulator(const std::filesystem::path& stateFile);

// The simulator emulator's port, from its first line "simemu: KittyHawk listening on 127.0.0.1:PORT"; empty when it
// ended first.
std::string listeningPort(EmulatorProcess& simulator);

// The simulator emulator's state file as JSON, with the time it was written; nothing while there is none.
struct SimulatorState {
  std::chrono::system_clock::time_point written;
  nlohmann::json json;
};
std::optional<SimulatorState> readSimulatorState(const std::filesystem::path& stateFile);

}  // namespace cvl::test

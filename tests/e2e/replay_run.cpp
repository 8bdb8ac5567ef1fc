#include "replay_run.h"

#include <thread>

namespace cvl::test {
namespace {

constexpr auto samplePause = std::chrono::milliseconds{500};

std::map<std::string, std::string> lf_programEnvironment(const std::string& simulatorPort,
                                                         std::map<std::string, std::string> more) {
  more["CORVALEN_SIM_PORT"] = simulatorPort;
  return more;
}

std::vector<std::string> lf_serviceArguments(int servicePort, const std::filesystem::path& recording,
                                             const std::vector<std::string>& more) {
  std::vector<std::string> arguments{"--port", std::to_string(servicePort), "--replay", recording.string(),
                                     "--start-now"};
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}

}  // namespace

ReplayRun::ReplayRun(const UserComputer& computer, int servicePort, const std::filesystem::path& recording,
                     const std::vector<std::string>& moreServiceArguments,
                     const std::map<std::string, std::string>& moreProgramEnvironment,
                     const std::filesystem::path& scenario)
    : stateFile(computer.workFile("simemu-state.json")),
      simulator(startSimulator(stateFile, scenario)),
      simulatorPort(listeningPort(simulator)),
      program(computer.startProgram({}, lf_programEnvironment(simulatorPort, moreProgramEnvironment))),
      replayStart(std::chrono::system_clock::now()),
      service(RTEMU_PROGRAM, lf_serviceArguments(servicePort, recording, moreServiceArguments)) {}

std::optional<SimulatorState> ReplayRun::nextState() const {
  std::this_thread::sleep_for(samplePause);
  return readSimulatorState(stateFile);
}

}  // namespace cvl::test

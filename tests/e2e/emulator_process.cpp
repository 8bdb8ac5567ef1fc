#include "emulator_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "program_process.h"
#include "support/sample_data.h"

extern char** environ;

namespace cvl::test {

EmulatorProcess::EmulatorProcess(const std::string& program, std::vector<std::string> arguments) {
  int commandPipe[2];
  int outputPipe[2];
  if (::pipe2(commandPipe, O_CLOEXEC) != 0 || ::pipe2(outputPipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, commandPipe[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, outputPipe[1], STDOUT_FILENO);
  arguments.insert(arguments.begin(), program);
  std::vector<char*> argv;
  for (auto& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  const int failure = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(commandPipe[0]);
  ::close(outputPipe[1]);
  commands_ = commandPipe[1];
  output_ = ::fdopen(outputPipe[0], "r");
  if (failure != 0) {
    pid_ = 0;
    throw std::runtime_error(program + " did not start");
  }
}

EmulatorProcess::~EmulatorProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  ::close(commands_);
  std::fclose(output_);
}

std::optional<std::string> EmulatorProcess::outputLine() {
  char line[256] = {};
  if (std::fgets(line, sizeof line, output_) == nullptr) {
    return std::nullopt;
  }
  std::string text{line};
  if (text.ends_with('\n')) {
    text.pop_back();
  }
  return text;
}

void EmulatorProcess::command(std::string_view line) const {
  const std::string text = std::string{line} + "\n";
  if (::write(commands_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    throw std::runtime_error("the emulator took no command");
  }
}

bool EmulatorProcess::ended(std::chrono::seconds limit) {
  int status = 0;
  const bool gone = waitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, limit);
  if (gone) {
    pid_ = 0;
  }
  return gone;
}

EmulatorProcess startSimulator(const std::filesystem::path& stateFile, const std::filesystem::path& scenario) {
  return EmulatorProcess{
      SIMEMU_PROGRAM, {"--sim", "2020", "--port", "0", "--state", stateFile.string(), "--scenario", scenario.string()}};
}

EmulatorProcess startSampleSimulator(const std::filesystem::path& stateFile) {
  return startSimulator(stateFile, sampleDataFolder() / "scenario.json");
}

std::string listeningPort(EmulatorProcess& simulator) {
  const auto line = simulator.outputLine();
  const auto colon = line ? line->rfind(':') : std::string::npos;
  return colon == std::string::npos ? std::string{} : line->substr(colon + 1);
}

std::optional<SimulatorState> readSimulatorState(const std::filesystem::path& stateFile) {
  // The emulator renames each new state into place: the file opened is one whole state, and its time is its own.
  const int file = ::open(stateFile.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) {
    return std::nullopt;
  }
  struct stat status {};
  std::string text;
  if (::fstat(file, &status) == 0) {
    char block[65536];
    for (ssize_t count = 0; (count = ::read(file, block, sizeof block)) > 0;) {
      text.append(block, static_cast<std::size_t>(count));
    }
  }
  ::close(file);
  auto json = nlohmann::json::parse(text, nullptr, false);
  if (json.is_discarded()) {
    return std::nullopt;
  }
  const auto written = std::chrono::seconds{status.st_mtim.tv_sec} + std::chrono::nanoseconds{status.st_mtim.tv_nsec};
  return SimulatorState{
      std::chrono::system_clock::time_point{std::chrono::duration_cast<std::chrono::system_clock::duration>(written)},
      std::move(json)};
}

}  // namespace cvl::test

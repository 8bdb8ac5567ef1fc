#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "program_process.h"
#include "support/temp_folder.h"

extern char** environ;

namespace cvl::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto startLimit = 90s;
constexpr auto loopLimit = 90s;
constexpr auto stepLimit = 60s;
constexpr auto endLimit = 60s;
// Long enough for the program to see the paused flight: its tick looks every 10 ms.
constexpr auto pauseLength = 2s;

// The simulator emulator as a process of its own: it reads its commands from a pipe and names its port in its first
// line of output.
class SimulatorProcess {
 public:
  explicit SimulatorProcess(std::vector<std::string> arguments) {
    int commandPipe[2];
    int outputPipe[2];
    if (::pipe2(commandPipe, O_CLOEXEC) != 0 || ::pipe2(outputPipe, O_CLOEXEC) != 0) {
      throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, commandPipe[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputPipe[1], STDOUT_FILENO);
    arguments.insert(arguments.begin(), SIMEMU_PROGRAM);
    std::vector<char*> argv;
    for (auto& argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const int failure = ::posix_spawn(&pid_, SIMEMU_PROGRAM, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(commandPipe[0]);
    ::close(outputPipe[1]);
    commands_ = commandPipe[1];
    output_ = ::fdopen(outputPipe[0], "r");
    if (failure != 0) {
      throw std::runtime_error("simemu did not start");
    }
  }
  ~SimulatorProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(commands_);
    std::fclose(output_);
  }
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;

  // From "simemu: KittyHawk listening on 127.0.0.1:PORT"; empty when simemu ended first.
  std::string port() {
    char line[256] = {};
    if (std::fgets(line, sizeof line, output_) == nullptr) {
      return {};
    }
    const std::string_view text{line};
    const auto colon = text.rfind(':');
    return colon == std::string_view::npos ? std::string{}
                                           : std::string{text.substr(colon + 1, text.find('\n') - colon - 1)};
  }

  void command(std::string_view line) const {
    const std::string text = std::string{line} + "\n";
    ASSERT_EQ(::write(commands_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }

  bool ended(std::chrono::seconds limit) {
    int status = 0;
    const bool gone = waitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, limit);
    if (gone) {
      pid_ = 0;
    }
    return gone;
  }

 private:
  pid_t pid_ = 0;
  int commands_ = -1;
  std::FILE* output_ = nullptr;
};

// The installed program beside the simulator emulator with the sample scenario (an A320 on a stand at EDDF), as on a
// user's computer with the simulator running and no traffic service installed.
class ProgramWithSimulator : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(CORVALEN_INSTALLED_DIR, program_.path(), fs::copy_options::recursive);
    fs::create_directories(users_.path() / "packages");
    fs::create_directories(users_.path() / "runtime");
    fs::create_directories(users_.path() / "config" / "Corvalen");
    writeFile(users_.path() / "config" / "Corvalen" / "parameters.xml",
              "<root><parameters><parameter name=\"MSFS_INSTALL_PATH\" value=\"" +
                  (users_.path() / "packages").string() + "\"/></parameters></root>");
  }

  ProgramProcess startProgram(const std::string& simulatorPort) const {
    return ProgramProcess{program_.path(),
                          {},
                          {{"CORVALEN_UI", "headless"},
                           {"CORVALEN_SIM_PORT", simulatorPort},
                           {"XDG_CONFIG_HOME", (users_.path() / "config").string()},
                           {"XDG_DATA_HOME", (users_.path() / "data").string()},
                           {"XDG_RUNTIME_DIR", (users_.path() / "runtime").string()},
                           {"CORVALEN_SITE_URL", std::string{"file://"} + CORVALEN_SAMPLE_SITE_DIR + "/"}}};
  }

  std::vector<std::string> simulatorArguments() const {
    return {"--sim",      "2020",
            "--port",     "0",
            "--state",    stateFile().string(),
            "--scenario", std::string{CORVALEN_SAMPLE_DATA_DIR} + "/scenario.json"};
  }

  fs::path stateFile() const { return users_.path() / "simemu-state.json"; }

  nlohmann::json state() const {
    if (!fs::exists(stateFile())) {
      return nullptr;
    }
    return nlohmann::json::parse(readFile(stateFile()), nullptr, false);
  }

  std::string log() const {
    const auto file = program_.path() / "Log.txt";
    return fs::exists(file) ? readFile(file) : "";
  }

  bool logShows(std::string_view text, std::chrono::seconds limit) const {
    return waitUntil([&] { return log().find(text) != std::string::npos; }, limit);
  }

 private:
  TempFolder program_;
  TempFolder users_;
};

bool subscribedOnGroundEverySecond(const nlohmann::json& state) {
  if (!state.is_object() || state["clients"].size() != 1) {
    return false;
  }
  const auto& client = state["clients"][0];
  const auto& periodic = client["periodicRequests"];
  return client["name"] == "Corvalen" && std::find(periodic.begin(), periodic.end(), 108) != periodic.end();
}

TEST_F(ProgramWithSimulator, FollowsTheUserAircraftUntilTheSimulatorQuits) {
  SimulatorProcess simulator{simulatorArguments()};
  const std::string port = simulator.port();
  ASSERT_FALSE(port.empty());
  auto program = startProgram(port);

  ASSERT_TRUE(waitUntil([&] { return subscribedOnGroundEverySecond(state()); }, startLimit)) << log();
  // Without traffic the run loop starts after its wait for the first data; the log is written out on the loop's
  // 30-second beats.
  ASSERT_TRUE(logShows("No traffic in this region?\n", loopLimit)) << log();

  // The beat of the per-second work stops with the flight and comes back with it.
  simulator.command("pause");
  ASSERT_TRUE(waitUntil([&] { return state().contains("paused") && state()["paused"] == true; }, stepLimit));
  std::this_thread::sleep_for(pauseLength);
  simulator.command("resume");
  ASSERT_TRUE(logShows(" Flight resumed\n", stepLimit)) << log();

  simulator.command("quit");
  EXPECT_EQ(program.waitForExit(endLimit), 0);
  EXPECT_TRUE(simulator.ended(endLimit));
  const auto text = log();
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

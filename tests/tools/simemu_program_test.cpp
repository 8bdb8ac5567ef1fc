#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "simconnect/simconnect.h"
#include "support/temp_folder.h"

extern char** environ;

namespace cvl::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto patience = std::chrono::seconds(10);

// simemu as a child process, with its standard input and output on pipes.
class SimemuProgram {
 public:
  explicit SimemuProgram(std::vector<std::string> arguments) {
    int input[2];
    int output[2];
    EXPECT_EQ(::pipe2(input, O_CLOEXEC), 0);
    EXPECT_EQ(::pipe2(output, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    arguments.insert(arguments.begin(), SIMEMU_PROGRAM);
    std::vector<char*> argv;
    for (auto& argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid_, SIMEMU_PROGRAM, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    input_ = input[1];
    output_ = output[0];
  }

  ~SimemuProgram() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(input_);
    ::close(output_);
  }

  void send(const std::string& line) {
    const auto text = line + "\n";
    EXPECT_EQ(::write(input_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }

  void closeInput() {
    ::close(input_);
    input_ = -1;
  }

  std::string readLine() {
    std::string line;
    char c = 0;
    pollfd entry{output_, POLLIN, 0};
    while (::poll(&entry, 1, 10000) > 0 && ::read(output_, &c, 1) == 1 && c != '\n') {
      line += c;
    }
    return line;
  }

  void signal(int number) { ::kill(pid_, number); }

  // The exit code, or nullopt when the program has not ended in time.
  std::optional<int> exitCode() {
    const auto giveUp = Clock::now() + patience;
    int status = 0;
    while (Clock::now() < giveUp) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
  }

 private:
  pid_t pid_ = 0;
  int input_ = -1;
  int output_ = -1;
};

// Dispatches until a message that `wanted` accepts has come.
bool awaitMessage(HANDLE handle, const std::function<bool(const SIMCONNECT_RECV&)>& wanted) {
  const auto giveUp = Clock::now() + patience;
  bool found = false;
  while (!found && Clock::now() < giveUp) {
    std::pair<const std::function<bool(const SIMCONNECT_RECV&)>*, bool*> context{&wanted, &found};
    SimConnect_CallDispatch(
        handle,
        [](SIMCONNECT_RECV* message, std::uint32_t, void* raw) {
          auto& [test, result] = *static_cast<decltype(context)*>(raw);
          *result = *result || (*test)(*message);
        },
        &context);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return found;
}

std::optional<nlohmann::json> awaitState(const std::filesystem::path& file,
                                         const std::function<bool(const nlohmann::json&)>& wanted) {
  const auto giveUp = Clock::now() + patience;
  while (Clock::now() < giveUp) {
    if (std::filesystem::exists(file)) {
      auto state = nlohmann::json::parse(readFile(file));
      if (wanted(state)) {
        return state;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return std::nullopt;
}

std::uint16_t portFromGreeting(const std::string& line) {
  const auto colon = line.rfind(':');
  return colon == std::string::npos ? 0 : static_cast<std::uint16_t>(std::stoi(line.substr(colon + 1)));
}

TEST(SimemuProgram, ServesAClientAndFollowsItsCommandsUntilQuit) {
  TempFolder folder;
  const auto stateFile = folder.path() / "state.json";
  SimemuProgram simemu({"--sim", "2020", "--port", "0", "--state", stateFile.string()});
  const auto greeting = simemu.readLine();
  ASSERT_NE(greeting.find("KittyHawk listening on 127.0.0.1:"), std::string::npos) << greeting;

  ScopedEnvironment port("CORVALEN_SIM_PORT", std::to_string(portFromGreeting(greeting)));
  HANDLE handle = nullptr;
  ASSERT_TRUE(SUCCEEDED(SimConnect_Open(&handle, "Corvalen", nullptr, 0, nullptr, 0)));
  ASSERT_TRUE(SUCCEEDED(SimConnect_SubscribeToSystemEvent(handle, 205, "FlightLoaded")));
  EXPECT_TRUE(awaitMessage(handle, [](const SIMCONNECT_RECV& m) { return m.dwID == SIMCONNECT_RECV_ID_OPEN; }));

  simemu.send("teleport 51.47 -0.45 83");
  simemu.send("no such command");
  simemu.send("newflight");
  EXPECT_TRUE(awaitMessage(handle, [](const SIMCONNECT_RECV& m) {
    return m.dwID == SIMCONNECT_RECV_ID_EVENT_FILENAME && static_cast<const SIMCONNECT_RECV_EVENT&>(m).uEventID == 205;
  }));
  const auto state = awaitState(stateFile, [](const nlohmann::json& s) { return s["user"]["lat"] == 51.47; });
  ASSERT_TRUE(state);
  EXPECT_EQ((*state)["user"]["alt"], 83.0);
  ASSERT_EQ((*state)["clients"].size(), 1u);
  EXPECT_EQ((*state)["clients"][0]["name"], "Corvalen");

  simemu.send("quit");
  EXPECT_TRUE(awaitMessage(handle, [](const SIMCONNECT_RECV& m) { return m.dwID == SIMCONNECT_RECV_ID_QUIT; }));
  EXPECT_EQ(simemu.exitCode(), 0);
  SimConnect_Close(handle);
}

// Started with its input closed (as scripts do), simemu runs on until it is told to stop.
TEST(SimemuProgram, RunsWithoutInputUntilTerminated) {
  TempFolder folder;
  const auto stateFile = folder.path() / "state.json";
  SimemuProgram simemu({"--sim", "2024", "--port", "0", "--state", stateFile.string()});
  ASSERT_NE(simemu.readLine().find("SunRise"), std::string::npos);
  simemu.closeInput();
  EXPECT_TRUE(awaitState(stateFile, [](const nlohmann::json& s) { return s["sim"] == "SunRise"; }));
  simemu.signal(SIGTERM);
  EXPECT_EQ(simemu.exitCode(), 0);
}

TEST(SimemuProgram, AWrongCommandLineEndsWithUsage) {
  SimemuProgram simemu({"--sim", "2022", "--port", "0", "--state", "state.json"});
  EXPECT_EQ(simemu.exitCode(), 2);
}

}  // namespace
}  // namespace cvl::test

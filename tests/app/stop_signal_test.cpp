#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/eventually.h"
#include "support/http_server.h"
#include "support/leak_options.h"
#include "support/temp_folder.h"

extern char** environ;

namespace cvl::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr auto endLimit = std::chrono::seconds{60};

// The program as a process of its own in a fresh program folder: headless, with temporary known folders, and a site
// whose versions.json never comes whole, so that the start-up waits in the version check until it is stopped.
class ProgramRun {
 public:
  ProgramRun() {
    fs::create_directories(program_.path() / "docs");
    fs::create_directories(users_.path() / "runtime");
    writeFile(site_.path() / "versions.json", R"({"msfs": {"major": 11, "minor": 10, "patch": 3}})");
    server_.stall("/versions.json");
  }
  ~ProgramRun() {
    if (pid_ > 0 && !ended_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (logReader_.joinable()) {
      logReader_.join();
    }
  }
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // Log.txt as a named pipe: the program waits in the open of its log, after main has begun and before it can act on
  // a stop signal, until the test reads the pipe (readLogPipe).
  void logThroughPipe() { ASSERT_EQ(::mkfifo(logPath().c_str(), 0600), 0); }

  void start() {
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &stops);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, program_.path().c_str());
    std::string program{CORVALEN_PROGRAM};
    char* argv[] = {program.data(), nullptr};
    ASSERT_EQ(::posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }

  void signal(int number) const { ::kill(pid_, number); }

  bool askedTheSite() const { return !server_.requests().empty(); }

  // Whether the program sleeps in the call that opens a file: only the open of a named pipe waits that way.
  bool waitsToOpenItsLog() const {
    return eventually([this] {
      const auto proc = fs::path{"/proc"} / std::to_string(pid_);
      std::ifstream stat{proc / "stat"};
      std::ifstream call{proc / "syscall"};
      std::string statLine;
      std::string callNumber;
      std::getline(stat, statLine);
      call >> callNumber;
      const auto afterName = statLine.rfind(") ");
      return afterName != std::string::npos && statLine.substr(afterName + 2, 1) == "S" &&
             callNumber == std::to_string(SYS_openat);
    });
  }

  // Reads the pipe until the program closes its log (or ends without having opened it).
  void readLogPipe() {
    const int pipe = ::open(logPath().c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(pipe, 0);
    ::fcntl(pipe, F_SETFL, 0);
    logReader_ = std::thread{[this, pipe] {
      char buffer[4096];
      for (ssize_t bytes = 0; (bytes = ::read(pipe, buffer, sizeof buffer)) > 0;) {
        pipedLog_.append(buffer, static_cast<std::size_t>(bytes));
      }
      ::close(pipe);
    }};
  }

  // How the process ended: "exit status <n>" or "ended by signal <n>"; "still running" after a generous limit.
  std::string end() {
    int status = 0;
    ended_ = eventually([this, &status] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, endLimit);
    if (!ended_) {
      return "still running";
    }
    if (logReader_.joinable()) {
      logReader_.join();
    }
    return WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                             : "ended by signal " + std::to_string(WTERMSIG(status));
  }

  // What the program logged; once it has ended, all of it.
  std::string log() const {
    if (fs::is_fifo(logPath())) {
      return pipedLog_;
    }
    return fs::exists(logPath()) ? readFile(logPath()) : "";
  }

 private:
  fs::path logPath() const { return program_.path() / "Log.txt"; }

  TempFolder program_;
  TempFolder users_;
  TempFolder site_;
  HttpServer server_{site_.path()};
  ScopedEnvironment ui_{"CORVALEN_UI", "headless"};
  ScopedEnvironment config_{"XDG_CONFIG_HOME", (users_.path() / "config").string()};
  ScopedEnvironment data_{"XDG_DATA_HOME", (users_.path() / "data").string()};
  ScopedEnvironment runtime_{"XDG_RUNTIME_DIR", (users_.path() / "runtime").string()};
  ScopedEnvironment siteUrl_{"CORVALEN_SITE_URL", server_.url()};
  ScopedEnvironment leaks_{"LSAN_OPTIONS", windowLeakOptions()};
  pid_t pid_ = -1;
  bool ended_ = false;
  std::thread logReader_;
  std::string pipedLog_;
};

// Ctrl+C in the terminal, or the system's request to end, may come in the first steps of a start, before the program
// can act on it: it waits until the program can, which then closes as it does for a stop during its start-up, rather
// than being ended by the signal.
TEST(StopSignal, AStopInTheFirstStepsOfAStartClosesAsALaterStopDoes) {
  for (const int stop : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(::strsignal(stop));
    ProgramRun later;
    later.start();
    ASSERT_TRUE(eventually([&later] { return later.askedTheSite(); })) << later.log();
    later.signal(stop);
    const std::string laterEnd = later.end();

    ProgramRun early;
    early.logThroughPipe();
    early.start();
    ASSERT_TRUE(early.waitsToOpenItsLog());
    early.signal(stop);
    early.readLogPipe();

    EXPECT_EQ(early.end(), laterEnd);
    EXPECT_EQ(laterEnd, "exit status 0");
    EXPECT_THAT(later.log(), HasSubstr("Exiting: USER CLOSED SIM\n"));
    EXPECT_THAT(early.log(), HasSubstr("Exiting: USER CLOSED SIM\n"));
  }
}

}  // namespace
}  // namespace cvl::test

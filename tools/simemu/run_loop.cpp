#include "simemu/run_loop.h"

#include <fmt/core.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "simemu/commands.h"
#include "simemu/state_file.h"

namespace cvl::simemu {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto frameInterval = std::chrono::microseconds(1'000'000 / 30);
constexpr auto stateInterval = std::chrono::seconds(1);
constexpr int inputPollMs = 100;

volatile std::sig_atomic_t quitSignalled = 0;

void onQuitSignal(int) {
  quitSignalled = 1;
}

void saveState(const SimEmulator& emulator, const std::filesystem::path& stateFile) {
  if (const auto fault = writeStateFile(stateFile, emulator.state())) {
    fmt::print(stderr, "simemu: state file: {}\n", *fault);
  }
}

void driveFrames(const std::stop_token& stop, SimEmulator& emulator, const std::filesystem::path& stateFile) {
  auto lastFrame = Clock::now();
  auto nextFrame = lastFrame + frameInterval;
  auto nextState = lastFrame;
  while (!stop.stop_requested()) {
    std::this_thread::sleep_until(nextFrame);
    const auto now = Clock::now();
    emulator.runFrame(std::chrono::duration<double>(now - lastFrame).count());
    lastFrame = now;
    nextFrame = std::max(nextFrame + frameInterval, now);
    if (now >= nextState) {
      saveState(emulator, stateFile);
      nextState = now + stateInterval;
    }
  }
}

// Standard input, cut into lines as they come.
class InputLines {
 public:
  // Waits a little for input; returns the lines completed by it. Sets ended() at the end of input.
  std::vector<std::string> next() {
    std::vector<std::string> lines;
    pollfd entry{STDIN_FILENO, POLLIN, 0};
    if (ended_ || ::poll(&entry, 1, inputPollMs) <= 0) {
      return lines;
    }
    char chunk[4096];
    const auto count = ::read(STDIN_FILENO, chunk, sizeof(chunk));
    if (count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN)) {
      ended_ = true;
      lines.push_back(std::move(partial_));
      return lines;
    }
    partial_.append(chunk, static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
    for (auto end = partial_.find('\n'); end != std::string::npos; end = partial_.find('\n')) {
      lines.push_back(partial_.substr(0, end));
      partial_.erase(0, end + 1);
    }
    return lines;
  }

  bool ended() const { return ended_; }

 private:
  std::string partial_;
  bool ended_ = false;
};

// True when the line was quit. A line that is no command, and a command the emulator refuses, are told on standard
// error.
bool carryOut(const std::string& line, SimEmulator& emulator) {
  const auto parsed = parseCommand(line);
  const auto outcome = parsed.command ? runCommand(*parsed.command, emulator) : CommandOutcome{false, parsed.fault};
  if (!outcome.refusal.empty()) {
    fmt::print(stderr, "simemu: {}\n", outcome.refusal);
  }
  return outcome.quit;
}

}  // namespace

void runUntilQuit(SimEmulator& emulator, const std::filesystem::path& stateFile) {
  std::signal(SIGINT, onQuitSignal);
  std::signal(SIGTERM, onQuitSignal);
  std::signal(SIGPIPE, SIG_IGN);
  std::jthread frames([&](const std::stop_token& stop) { driveFrames(stop, emulator, stateFile); });

  InputLines input;
  bool quit = false;
  while (!quit && quitSignalled == 0) {
    if (input.ended()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(inputPollMs));
      continue;
    }
    for (const auto& line : input.next()) {
      quit = quit || carryOut(line, emulator);
    }
  }
  emulator.quit();
  frames.request_stop();
  frames.join();
  saveState(emulator, stateFile);
}

}  // namespace cvl::simemu

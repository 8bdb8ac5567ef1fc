#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "rtemu/emulator.h"
#include "rtemu/options.h"

namespace {

volatile std::sig_atomic_t g_signalled = 0;

void lf_onSignal(int) {
  g_signalled = 1;
}

void lf_notice(std::string_view text) {
  std::cerr << "rtemu: " << text << std::endl;
}

// Carries out the commands of standard input until "quit", a signal, or the end of the replay. The end of standard
// input ends only the commands: a test may start the emulator without any.
void lf_readCommands(cvl::rtemu::Emulator& emulator) {
  constexpr int lookInterval = 200;  // milliseconds between looks at the signal and the replay
  bool inputOpen = true;
  std::string pending;
  while (g_signalled == 0 && !emulator.finished()) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (!inputOpen || poll(&input, 1, lookInterval) <= 0) {
      if (!inputOpen) {
        poll(nullptr, 0, lookInterval);
      }
      continue;
    }
    char chunk[256];
    const ssize_t count = read(STDIN_FILENO, chunk, sizeof chunk);
    if (count <= 0) {
      inputOpen = false;
      continue;
    }
    pending.append(chunk, static_cast<std::size_t>(count));
    for (std::size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (!emulator.command(line)) {
        return;
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  cvl::rtemu::Options options;
  try {
    options = cvl::rtemu::parseOptions(arguments);
  } catch (const cvl::rtemu::UsageError& error) {
    std::cerr << "rtemu: " << error.what() << '\n' << cvl::rtemu::usageText;
    return 2;
  }
  std::signal(SIGINT, lf_onSignal);
  std::signal(SIGTERM, lf_onSignal);
  try {
    cvl::rtemu::Emulator emulator(options, lf_notice);
    emulator.start();
    lf_readCommands(emulator);
  } catch (const std::exception& error) {
    lf_notice(error.what());
    return 1;
  }
  return 0;
}

// simemu: the simulator emulator, the other end of the client library for tests and the demo.
#include <fmt/core.h>

#include <cstdio>
#include <exception>
#include <string_view>
#include <vector>

#include "simemu/options.h"
#include "simemu/run_loop.h"
#include "simemu/sim_emulator.h"
#include "simemu/tcp_server.h"
#include "simemu/title_list.h"

namespace {

using namespace cvl::simemu;

EmulatorSettings settingsFrom(const Options& options) {
  EmulatorSettings settings;
  settings.identity = *identityOf(options.simYear);
  settings.scenario = options.scenarioFile ? loadScenario(*options.scenarioFile) : sampleScenario();
  if (options.refusedTitlesFile) {
    settings.refusedTitles = loadTitleList(*options.refusedTitlesFile);
  }
  return settings;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const auto parsed = parseOptions(arguments);
  if (const auto* fault = std::get_if<std::string>(&parsed)) {
    fmt::print(stderr, "simemu: {}\n{}\n", *fault, usage);
    return 2;
  }
  const auto& options = std::get<Options>(parsed);
  try {
    const auto settings = settingsFrom(options);
    auto emulator = std::make_shared<SimEmulator>(settings);
    TcpServer server(emulator, options.port);
    fmt::print("simemu: {} listening on 127.0.0.1:{}\n", settings.identity.applicationName, server.port());
    std::fflush(stdout);
    runUntilQuit(*emulator, options.stateFile);
  } catch (const std::exception& error) {
    fmt::print(stderr, "simemu: {}\n", error.what());
    return 1;
  }
  return 0;
}

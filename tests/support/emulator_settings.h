#pragma once

#include "simemu/sim_emulator.h"

// For the suites that link the simulator emulator's core and run it in their own process.
namespace cvl::test {

// The sample scenario (an A320 on a stand at EDDF) as "KittyHawk" (2020) or "SunRise" (2024), at a fixed time;
// creations with the title "Broken Livery" are refused.
inline simemu::EmulatorSettings emulatorSettings(int simYear = 2020) {
  simemu::EmulatorSettings settings;
  settings.identity = *simemu::identityOf(simYear);
  settings.scenario = simemu::sampleScenario();
  settings.scenario.unixTime = 1709294400;  // 2024-03-01 12:00:00 UTC
  settings.refusedTitles = {"Broken Livery"};
  return settings;
}

}  // namespace cvl::test

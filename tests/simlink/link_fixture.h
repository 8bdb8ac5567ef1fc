#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "simemu/sim_emulator.h"
#include "support/emulator_settings.h"
#include "support/eventually.h"
#include "support/temp_folder.h"

namespace cvl::test {

// The simulator link against the emulator in the test's own process, with Log.txt in a temporary current folder.
// Every test starts with the link, the stop flags and the main window at their start values, MSFS 2020 chosen, and
// leaves them so.
class LinkTest : public ::testing::Test {
 protected:
  LinkTest();
  ~LinkTest() override;

  // The simulator the link connects to from now on.
  void startEmulator(const simemu::EmulatorSettings& settings = emulatorSettings());
  // Opens the connection as the SimClient thread does, declares everything and takes the first messages; the test's
  // thread then plays the SimClient thread through pump().
  void connect();
  // Hands the waiting messages to the dispatch.
  void pump();
  // One simulator frame of 1/30 s, then pump().
  void frame();

  std::string logText() const;
  bool logged(std::string_view text) const;
  // The emulator's state of the object with that id; null when there is none.
  nlohmann::json objectState(std::uint32_t id) const;

  std::shared_ptr<simemu::SimEmulator> emulator;

 private:
  TempFolder folder_;
  ScopedCurrentFolder current_{folder_.path()};
};

}  // namespace cvl::test

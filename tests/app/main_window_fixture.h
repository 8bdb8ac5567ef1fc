#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/periodic_jobs.h"
#include "engine/live_aircraft.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "parking/park_airport_state.h"
#include "platform/ui/backend.h"
#include "platform/ui/paint_record.h"
#include "platform/ui/window.h"
#include "sceneryscan/tblo_archive.h"
#include "support/temp_folder.h"

namespace cvl::ui {

inline void PrintTo(const Colour& colour, std::ostream* out) {
  *out << "rgb(" << int{colour.red} << "," << int{colour.green} << "," << int{colour.blue} << ")";
}

inline void PrintTo(const DrawCall& call, std::ostream* out) {
  *out << (call.kind == DrawKind::fill   ? "fill"
           : call.kind == DrawKind::line ? "line"
                                         : "text")
       << " (" << call.rect.left << "," << call.rect.top << "," << call.rect.right << "," << call.rect.bottom << ") ";
  PrintTo(call.colour, out);
  if (call.kind == DrawKind::text) {
    *out << " '" << call.text << "'";
  }
}

}  // namespace cvl::ui

namespace cvl::test {

// The program's main window on the headless backend, with Log.txt and parameters.xml in a temporary folder. Every
// test starts from the shell's start values and leaves them so.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("CORVALEN_UI", "headless", 0);  // unless a run asks for the real window
    if (ui::activeBackend() != ui::BackendKind::headless) {
      GTEST_SKIP() << "the headless backend is not in use";
    }
    std::filesystem::create_directories(settingsFolder());
    gf_openLog();
  }

  void TearDown() override {
    if (mainWindow.hwnd != ui::noHandle) {
      ui::destroyWindow(mainWindow.hwnd);
      mainWindow.hwnd = ui::noHandle;
      ui::pumpMessages();  // takes the quit that the window's destruction posts
    }
    resetShellState();
    gf_closeLog();
  }

  static void resetShellState() {
    gf_resetMainWindow();
    staticParkingBusy = false;
    nowButtonAllowed = false;
    parkAirportActive = false;
    rtTrafficWeek = 0;
    tbloReady = 0;
    tickSeconds = 0;
    staticUpdateRequested = false;
    liveAcs.clear();
    stopRequested = false;
    closeRequested = false;
    exitReason = ExitReason::notYetSet;
    restartDelaySeconds = 0;
  }

  std::filesystem::path settingsFolder() const { return folder_.path() / "config" / "Corvalen"; }
  std::filesystem::path parametersFile() const { return settingsFolder() / "parameters.xml"; }

  void writeParameters(std::string_view entries) const {
    writeFile(parametersFile(), std::string{"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root><parameters>"} +
                                    std::string{entries} + "</parameters></root>\n");
  }

  // The stored value of an int setting, nothing when the file or the entry is missing.
  std::optional<std::int32_t> storedInt(std::string_view key) const {
    pugi::xml_document document;
    if (!document.load_file(parametersFile().c_str())) {
      return std::nullopt;
    }
    return gf_getIntParameter(document, key);
  }
  std::optional<bool> storedBool(std::string_view key) const {
    pugi::xml_document document;
    if (!document.load_file(parametersFile().c_str())) {
      return std::nullopt;
    }
    return gf_getBoolParameter(document, key);
  }

  ui::Handle openMainWindow() {
    EXPECT_TRUE(initInstance("Corvalen"));
    return mainWindow.hwnd;
  }

  // Repaints the whole window and returns what was drawn.
  std::vector<ui::DrawCall> paintAll() const {
    ui::invalidate(mainWindow.hwnd, ui::Rect{0, 0, mainWindowWidth, mainWindowHeight});
    ui::pumpMessages();
    const auto records = ui::paintRecords(mainWindow.hwnd);
    return records.empty() ? std::vector<ui::DrawCall>{} : records.back().calls;
  }

  // What was logged after the header line.
  std::string logBody() const {
    gf_flushLog();
    const std::string all = readFile(folder_.path() / "Log.txt");
    return all.substr(all.find('\n') + 1);
  }

 private:
  TempFolder folder_;
  ScopedCurrentFolder current_{folder_.path()};
  ScopedEnvironment config_{"XDG_CONFIG_HOME", (folder_.path() / "config").string()};
};

// A live aircraft in the engine's list, with the callsign, state and phase the main window reads.
inline void addLiveAircraft(std::string callsign, AcState state, AcPhase phase) {
  IdentityTexts texts;
  texts.callsign = std::move(callsign);
  AcIdentity identity{texts};
  LiveAc aircraft{identity, TimedPosition{}, 0.0};
  aircraft.state = state;
  aircraft.phase = phase;
  liveAcs.push_back(std::move(aircraft));
}

// The texts drawn at a point, in drawing order.
inline std::vector<ui::DrawCall> textsAt(const std::vector<ui::DrawCall>& calls, int x, int y) {
  std::vector<ui::DrawCall> found;
  std::copy_if(calls.begin(), calls.end(), std::back_inserter(found), [&](const ui::DrawCall& call) {
    return call.kind == ui::DrawKind::text && call.rect.left == x && call.rect.top == y;
  });
  return found;
}

// The one text drawn at a point; nothing when none was.
inline std::optional<ui::DrawCall> textAt(const std::vector<ui::DrawCall>& calls, int x, int y) {
  const auto found = textsAt(calls, x, y);
  return found.empty() ? std::nullopt : std::optional{found.back()};
}

// The colour of the last fill of exactly this rectangle.
inline std::optional<ui::Colour> fillOf(const std::vector<ui::DrawCall>& calls, const ui::Rect& rect) {
  std::optional<ui::Colour> colour;
  for (const auto& call : calls) {
    if (call.kind == ui::DrawKind::fill && call.rect == rect) {
      colour = call.colour;
    }
  }
  return colour;
}

// The texts drawn inside a band, in drawing order.
inline std::vector<std::string> textsIn(const std::vector<ui::DrawCall>& calls, const ui::Rect& band) {
  std::vector<std::string> texts;
  for (const auto& call : calls) {
    if (call.kind == ui::DrawKind::text && call.rect.top >= band.top && call.rect.top < band.bottom) {
      texts.push_back(call.text);
    }
  }
  return texts;
}

}  // namespace cvl::test

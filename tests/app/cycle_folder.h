#pragma once

#include <fmt/format.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/closing_down.h"
#include "app/entry_point.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "app/status_line.h"
#include "foundation/log.h"
#include "liveries/liveries_processed.h"
#include "parking/park_airport_list.h"
#include "platform/ui/window.h"
#include "refdata/airports_database.h"
#include "refdata/data_file_sealing.h"
#include "support/sample_data.h"
#include "support/temp_folder.h"

namespace cvl::test {

// Puts the flags of a run cycle and of the process back to their start values.
inline void resetCycleFlags() {
  lf_resetForRestart();
  restartPending = false;
  productionMode = false;
  processExitCode = 0;
}

// Forgets what a start-up reads once per process, so that the next one reads it again as a fresh start would.
inline void forgetStartUpData() {
  dataFilesLoaded = false;
  liveriesProcessed = false;
  gf_forgetAirports();
  parkAirports.clear();
}

// The program's own folder as a run cycle expects it, as the current folder: docs/, the sample reference data sealed
// in input/, an open Log.txt, the user's folders and the maker's (empty) site in temporary folders, and a settings
// file that names an install path whose Community folder holds the sample AI packages, so that a start-up and its
// livery scan run through. More settings can be given as parameter elements.
class CycleFolder {
 public:
  explicit CycleFolder(bool withDocs = true, const std::string& moreSettings = {}) {
    if (withDocs) {
      std::filesystem::create_directories("docs");
    }
    std::filesystem::create_directories("input");
    std::filesystem::create_directories(site_.path());
    gf_writeSealedDataFile("input/dbase.enc", readFile(sampleDataFolder() / "dbase.xml"));
    gf_writeSealedDataFile("input/airports.enc", readFile(sampleDataFolder() / "airports.xml"));
    std::filesystem::create_directories(installPath());
    std::filesystem::copy(sampleDataFolder() / "aipackage" / "Community", installPath() / "Community",
                          std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(settingsFolder());
    writeFile(settingsFolder() / "parameters.xml",
              fmt::format("<root><parameters><parameter name=\"MSFS_INSTALL_PATH\" value=\"{}\"/>"
                          "<parameter name=\"MSFS_2024_INSTALL_PATH\" value=\"{}\"/>{}</parameters></root>",
                          installPath().string(), installPath().string(), moreSettings));
    resetCycleFlags();
    forgetStartUpData();
    gf_openLog();
  }
  ~CycleFolder() {
    resetCycleFlags();
    forgetStartUpData();
    gf_closeLog();
  }
  CycleFolder(const CycleFolder&) = delete;
  CycleFolder& operator=(const CycleFolder&) = delete;

  const std::filesystem::path& path() const { return folder_.path(); }
  std::filesystem::path roamingFolder() const { return users_.path() / "config"; }
  std::filesystem::path settingsFolder() const { return roamingFolder() / "Corvalen"; }
  std::filesystem::path installPath() const { return users_.path() / "packages"; }
  const std::filesystem::path& sitePath() const { return site_.path(); }

  // What was logged after the header line.
  std::string log() const {
    gf_flushLog();
    const auto all = readFile(folder_.path() / "Log.txt");
    return all.substr(all.find('\n') + 1);
  }
  std::string settingsFile() const { return readFile(settingsFolder() / "parameters.xml"); }

  // What the livery scan of an earlier run left: a start-up that stops before its own scan builds the livery tables
  // from it.
  void keepEarlierScan() const {
    std::filesystem::create_directories("output");
    writeFile("output/LiveriesScanned.xml",
              "<root><liveries><liv airl=\"DLH\" type=\"A320\" title=\"Sample Airbus A320 Lufthansa\"/></liveries>"
              "</root>");
  }

 private:
  TempFolder folder_;
  ScopedCurrentFolder current_{folder_.path()};
  TempFolder users_;
  TempFolder site_;
  ScopedEnvironment config_{"XDG_CONFIG_HOME", roamingFolder().string()};
  ScopedEnvironment data_{"XDG_DATA_HOME", (users_.path() / "data").string()};
  ScopedEnvironment siteUrl_{"CORVALEN_SITE_URL", "file://" + site_.path().string() + "/"};
};

// Stands in for the waits of closing down for the object's lifetime: each wait passes at once and is recorded with
// the status line shown at that moment; an action may run at each wait (the user closing the window, say).
class RecordedPauses {
 public:
  using Action = std::function<void(std::size_t waitIndex)>;

  explicit RecordedPauses(Action action = {}) : action_(std::move(action)), previous_(closingDownPause) {
    closingDownPause = [this](std::chrono::milliseconds duration) {
      durations.push_back(duration);
      statusLines.push_back(gf_statusText());
      if (action_) {
        action_(durations.size() - 1);
      }
    };
  }
  ~RecordedPauses() { closingDownPause = previous_; }
  RecordedPauses(const RecordedPauses&) = delete;
  RecordedPauses& operator=(const RecordedPauses&) = delete;

  std::chrono::milliseconds total() const {
    std::chrono::milliseconds sum{0};
    for (const auto duration : durations) {
      sum += duration;
    }
    return sum;
  }

  std::vector<std::chrono::milliseconds> durations;
  std::vector<std::string> statusLines;

 private:
  Action action_;
  std::function<void(std::chrono::milliseconds)> previous_;
};

// A hidden main window of the headless backend that keeps the program's own messages posted to it, for the object's
// lifetime.
class RecordingMainWindow {
 public:
  RecordingMainWindow() {
    ::setenv("CORVALEN_UI", "headless", 1);
    window_ = ui::createWindow({"CRVL", {0, 0, 880, 516}, [this](ui::Handle, ui::Message message, auto...) {
                                  if (message >= ui::msgApp) {
                                    received_.push_back(message);
                                  }
                                  return ui::LResult{0};
                                }});
    mainWindow.hwnd = window_;
  }
  ~RecordingMainWindow() {
    mainWindow.hwnd = ui::noHandle;
    ui::destroyWindow(window_);
  }
  RecordingMainWindow(const RecordingMainWindow&) = delete;
  RecordingMainWindow& operator=(const RecordingMainWindow&) = delete;

  // The program's messages handled so far (UI thread: the test's own).
  std::vector<ui::Message> posted() {
    ui::pumpMessages();
    return received_;
  }

 private:
  ui::Handle window_ = ui::noHandle;
  std::vector<ui::Message> received_;
};

}  // namespace cvl::test

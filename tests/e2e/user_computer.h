#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "program_process.h"
#include "support/temp_folder.h"

namespace cvl::test {

// A user's computer for the installed program: a copy of the folder `cmake --install` laid out, the user's known
// folders, the simulator's packages folder with the sample AI packages in its Community folder, and a settings file
// that names that folder for either simulator (the program cannot detect it here) plus any further parameter elements
// given. The maker's
// site is the sample site of the build.
class UserComputer {
 public:
  explicit UserComputer(const std::string& moreSettings = {});

  // The program started in its folder, headless, with these known folders and the site, plus the environment given. Its
  // leak check passes over what the font libraries keep when it shows the real window.
  ProgramProcess startProgram(const std::vector<std::string>& arguments = {},
                              const std::map<std::string, std::string>& environment = {}) const;

  // The traffic service counts as installed: the program then listens for it on its port.
  void installTrafficService() const;
  // What the livery scan of an earlier run left, for a start-up that ends before its own scan.
  void keepEarlierScan() const;

  const std::filesystem::path& programFolder() const { return program_.path(); }
  std::filesystem::path programFile(std::string_view name) const { return program_.path() / name; }
  std::filesystem::path settingsFolder() const { return users_.path() / "config" / "Corvalen"; }
  std::filesystem::path installPath() const { return users_.path() / "packages"; }
  // A place for the files of the test and the emulators.
  std::filesystem::path workFile(std::string_view name) const { return users_.path() / name; }

  std::string log() const;
  bool logShows(std::string_view text, std::chrono::seconds limit) const;

 private:
  TempFolder program_;
  TempFolder users_;
};

}  // namespace cvl::test

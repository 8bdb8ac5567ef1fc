#include "user_computer.h"

#include "support/leak_options.h"
#include "support/sample_data.h"

namespace cvl::test {

namespace fs = std::filesystem;

UserComputer::UserComputer(const std::string& moreSettings) {
  fs::copy(CORVALEN_INSTALLED_DIR, program_.path(), fs::copy_options::recursive);
  fs::create_directories(installPath());
  fs::copy(sampleDataFolder() / "aipackage" / "Community", installPath() / "Community", fs::copy_options::recursive);
  fs::create_directories(users_.path() / "runtime");
  fs::create_directories(settingsFolder());
  const auto installPathText = installPath().string();
  writeFile(settingsFolder() / "parameters.xml", "<root><parameters><parameter name=\"MSFS_INSTALL_PATH\" value=\"" +
                                                     installPathText +
                                                     "\"/><parameter name=\"MSFS_2024_INSTALL_PATH\" value=\"" +
                                                     installPathText + "\"/>" + moreSettings + "</parameters></root>");
}

ProgramProcess UserComputer::startProgram(const std::vector<std::string>& arguments,
                                          const std::map<std::string, std::string>& environment) const {
  std::map<std::string, std::string> variables{
      {"CORVALEN_UI", "headless"},
      {"XDG_CONFIG_HOME", (users_.path() / "config").string()},
      {"XDG_DATA_HOME", (users_.path() / "data").string()},
      {"XDG_RUNTIME_DIR", (users_.path() / "runtime").string()},
      {"CORVALEN_SITE_URL", std::string{"file://"} + CORVALEN_SAMPLE_SITE_DIR + "/"},
      {"LSAN_OPTIONS", windowLeakOptions()}};
  for (const auto& [name, value] : environment) {
    variables[name] = value;
  }
  return ProgramProcess{program_.path(), arguments, variables};
}

void UserComputer::installTrafficService() const {
  const auto folder = users_.path() / "config" / "InsideSystems";
  fs::create_directories(folder);
  writeFile(folder / "RealTraffic.jar", "");
}

void UserComputer::keepEarlierScan() const {
  fs::create_directories(programFile("output"));
  writeFile(programFile("output") / "LiveriesScanned.xml",
            "<root><liveries><liv airl=\"DLH\" type=\"A320\" title=\"Sample Airbus A320 Lufthansa\"/></liveries>"
            "</root>");
}

std::string UserComputer::log() const {
  const auto file = programFile("Log.txt");
  return fs::exists(file) ? readFile(file) : "";
}

bool UserComputer::logShows(std::string_view text, std::chrono::seconds limit) const {
  return waitUntil([&] { return log().find(text) != std::string::npos; }, limit);
}

}  // namespace cvl::test

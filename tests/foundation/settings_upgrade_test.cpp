#include "foundation/settings_upgrade.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "foundation/constants.h"
#include "foundation/headless_window.h"
#include "foundation/open_log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "foundation/xml.h"
#include "support/temp_folder.h"

namespace cvl {
namespace {

using test::readFile;
using test::writeFile;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

const std::vector<std::string> oldKeys{"CALLSIGN_OBJECTIDS",
                                       "PARK_FAKE",
                                       "SUPPRESS_STUB",
                                       "LOG",
                                       "LEARN_SOFT",
                                       "PROGRAM_INSTALL_PATH",
                                       "LATERAL_RANGE",
                                       "CUSTOM_MAX_PARK",
                                       "MAX_LIVE",
                                       "AIRPORT_RANGE",
                                       "AUTO_RANGE_ABOVE_HEIGHT",
                                       "AIRPORT_HEIGHT",
                                       "MSFS_2020",
                                       "AI_PACKAGE_ORDER"};

// A program folder (the current folder, with Log.txt) and a roaming folder whose parameters.xml holds the stored
// version, every key of older versions ("LOG" twice) and one current setting.
class SettingsUpgrade : public testing::Test {
 protected:
  SettingsUpgrade() {
    std::filesystem::create_directories(parametersPath().parent_path());
    std::string entries = R"(<parameter name="RANGE" value="40"/>)";
    for (const auto& key : oldKeys) {
      entries += fmt::format(R"(<parameter name="{}" value="1"/>)", key);
    }
    entries += R"(<parameter name="LOG" value="2"/>)";
    writeFile(parametersPath(), fmt::format("<root><parameters>{}</parameters></root>", entries));
  }

  // The keys stored in parameters.xml, in file order.
  static std::vector<std::string> storedKeys() {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_file(parametersPath().c_str()));
    std::vector<std::string> keys;
    for (const auto entry : gf_rootOrDocChild(document, "parameters").children("parameter")) {
      keys.emplace_back(entry.attribute("name").as_string());
    }
    return keys;
  }

  static std::optional<std::string> storedVersion() {
    pugi::xml_document document;
    document.load_file(parametersPath().c_str());
    return gf_getStringParameter(document, "PROGRAM_VERSION");
  }

  static bool upgradeFrom(const std::string& stored) {
    PROGRAM_VERSION.value = stored;
    return lf_upgradeParameters();
  }

  test::TempFolder home_;
  test::ScopedEnvironment config_{"XDG_CONFIG_HOME", home_.path().string()};
  test::OpenLog log_;
};

TEST_F(SettingsUpgrade, AFileWithoutVersionGetsTheRunningOneAndKeepsEverythingElse) {
  writeFile("Callsign2ObjectId.txt", "");
  EXPECT_FALSE(upgradeFrom(""));
  EXPECT_EQ(storedVersion(), "11.10.3");
  EXPECT_EQ(storedKeys().size(), oldKeys.size() + 3);
  EXPECT_TRUE(std::filesystem::exists("Callsign2ObjectId.txt"));
}

TEST_F(SettingsUpgrade, TheSameVersionChangesNothing) {
  const auto before = readFile(parametersPath());
  EXPECT_FALSE(upgradeFrom("11.10.3"));
  EXPECT_EQ(readFile(parametersPath()), before);
  EXPECT_THAT(log_.body(), Not(HasSubstr("version update")));
}

TEST_F(SettingsUpgrade, ADowngradeOnlyRecordsTheRunningVersion) {
  EXPECT_FALSE(upgradeFrom("11.10.4"));
  EXPECT_EQ(storedVersion(), "11.10.3");
  EXPECT_EQ(PROGRAM_VERSION.getValue(), "11.10.3");
  EXPECT_EQ(storedKeys().size(), oldKeys.size() + 3);
  EXPECT_THAT(log_.body(), Not(HasSubstr("version update")));
}

TEST_F(SettingsUpgrade, VersionsBefore11_0_2AreTooOldToConvert) {
  for (const char* stored : {"11.0.1", "10.99.99", "eleven"}) {
    SCOPED_TRACE(stored);
    EXPECT_TRUE(upgradeFrom(stored));
    EXPECT_EQ(storedVersion(), "11.10.3");
  }
  EXPECT_EQ(storedKeys().size(), oldKeys.size() + 3);
  EXPECT_THAT(log_.body(), HasSubstr("This is a version update from 11.0.1 -> 11.10.3\n"));
  EXPECT_THAT(log_.body(), HasSubstr("This is a version update from 0.0.0 -> 11.10.3\n"));
}

TEST_F(SettingsUpgrade, AnUpdateRemovesWhatOlderVersionsLeft) {
  for (const char* file : {"Callsign2ObjectId.txt", "versions.json", "EHAM.xml", "ABCDE.xml", "ABC.xml", "EGLL.XML",
                           "input/airports_msfs.xml", "input/airports_msfs_names.xml", "input/dbase.enc",
                           "TO_BE_LEARNED_OFFLINE/EHAM.xml", "new_version/install_new_version.exe"}) {
    std::filesystem::create_directories(
        std::filesystem::path{file}.parent_path().empty() ? "." : std::filesystem::path{file}.parent_path());
    writeFile(file, "old");
  }
  std::filesystem::create_directory("LFPG.xml");

  EXPECT_FALSE(upgradeFrom("11.0.2"));

  EXPECT_THAT(storedKeys(), ElementsAre("RANGE", "LOG", "PROGRAM_VERSION"));
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(".")) {
    left.push_back(entry.path().lexically_relative(".").string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_THAT(left, ElementsAre("ABC.xml", "ABCDE.xml", "EGLL.XML", "LFPG.xml", "Log.txt", "input", "input/dbase.enc"));
  const auto logged = log_.body();
  EXPECT_THAT(logged, HasSubstr("This is a version update from 11.0.2 -> 11.10.3\n"));
  EXPECT_THAT(logged, HasSubstr("Parameter 'CALLSIGN_OBJECTIDS' removed\n"));
  EXPECT_THAT(logged, HasSubstr("Parameter 'AI_PACKAGE_ORDER' removed\n"));
}

TEST(Range, TheSettingIsClampedWhileTheRadiusFollowsTheArgument) {
  const test::HeadlessWindow window;
  RANGE.hwnd = window.control(ui::ControlKind::comboBox, RANGE.controlId);
  RANGE.fillCombo();
  const auto indexOf = [](std::int32_t value) { return static_cast<int>(*RANGE.indexOf(value)); };

  EXPECT_EQ(gf_setRange(150), 277800);
  EXPECT_EQ(RANGE.value, 100);
  EXPECT_EQ(ui::comboSelectedIndex(RANGE.hwnd), indexOf(100));
  EXPECT_EQ(rangeNm, 150.0);
  EXPECT_EQ(rangeMetres, 277800);

  EXPECT_EQ(gf_setRange(37), 68524);
  EXPECT_EQ(RANGE.value, 37);
  EXPECT_EQ(ui::comboSelectedIndex(RANGE.hwnd), indexOf(100));
  EXPECT_EQ(rangeNm, 37.0);
  gf_setRange(RANGE.defaultValue);
  RANGE.hwnd = ui::noHandle;
}

TEST(MaxFitHours, FollowTheFitLevelAndSelectTheirChoiceWhenThereIsOne) {
  const test::HeadlessWindow window;
  MAX_FIT_FL.hwnd = window.control(ui::ControlKind::comboBox, MAX_FIT_FL.controlId);
  for (const float hours : maxFitFlChoices) {
    ui::comboAdd(MAX_FIT_FL.hwnd, fmt::format("{:.1f}", hours));
  }
  const auto selected = [] {
    const int index = ui::comboSelectedIndex(MAX_FIT_FL.hwnd);
    return index < 0 ? "<none>" : ui::comboItems(MAX_FIT_FL.hwnd).at(static_cast<std::size_t>(index));
  };
  for (const auto& [level, hours, shown] :
       {std::tuple{47, 24.0F, "24.0"}, std::tuple{9, 5.0F, "5.0"}, std::tuple{0, 0.5F, "0.5"},
        std::tuple{-3, 0.5F, "0.5"}, std::tuple{13, 7.0F, "7.0"}, std::tuple{30, 15.0F, "15.0"}}) {
    MAX_FIT.value = level;
    gf_syncMaxFitFl();
    EXPECT_EQ(MAX_FIT_FL.value, hours) << level;
    EXPECT_EQ(selected(), shown) << level;
  }
  // 11 hours is no choice: the value follows, the selection stays.
  MAX_FIT.value = 21;
  gf_syncMaxFitFl();
  EXPECT_EQ(MAX_FIT_FL.value, 11.0F);
  EXPECT_EQ(selected(), "15.0");
  MAX_FIT_FL.hwnd = ui::noHandle;
}

}  // namespace
}  // namespace cvl

#include "foundation/settings_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#include "foundation/constants.h"
#include "foundation/headless_window.h"
#include "foundation/open_log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/xml.h"
#include "support/temp_folder.h"
#include "support/unwritable_folders.h"

namespace cvl {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::Pair;
using Entries = std::vector<std::pair<std::string, std::string>>;

std::vector<std::string> registryKeys() {
  std::vector<std::string> keys;
  for (const auto* setting : boolRegistry)
    keys.push_back(setting->key);
  for (const auto* setting : checkBoxRegistry)
    keys.push_back(setting->key);
  for (const auto* setting : intRegistry)
    keys.push_back(setting->key);
  for (const auto* setting : intChoiceRegistry)
    keys.push_back(setting->key);
  for (const auto* setting : stringRegistry)
    keys.push_back(setting->key);
  for (const auto* setting : stringControlRegistry)
    keys.push_back(setting->key);
  return keys;
}

// How often the text occurs in the log.
std::size_t occurrences(const std::string& logged, const std::string& text) {
  std::size_t count = 0;
  for (auto at = logged.find(text); at != std::string::npos; at = logged.find(text, at + text.size())) {
    ++count;
  }
  return count;
}

// Each test has its own roaming folder holding the program's settings folder (and starts from the defaults, as every
// test does).
class SettingsFile : public testing::Test {
 protected:
  SettingsFile() { std::filesystem::create_directories(folder()); }

  std::filesystem::path folder() const { return home_.path() / "Corvalen"; }
  std::filesystem::path file() const { return folder() / "parameters.xml"; }
  std::filesystem::path olderGeneration() const { return folder() / "parameters0.xml"; }

  void writeSettings(std::string_view entries) const {
    test::writeFile(file(), fmt::format("<?xml version=\"1.0\"?>\n<root><parameters>{}</parameters></root>", entries));
  }

  // The entries as stored (under root, or at document level in an old file).
  Entries stored() const {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_file(file().c_str())) << test::readFile(file());
    Entries entries;
    for (const auto entry : gf_rootOrDocChild(document, "parameters").children("parameter")) {
      entries.emplace_back(entry.attribute("name").as_string(), entry.attribute("value").as_string());
    }
    return entries;
  }

  std::vector<std::string> storedKeys() const {
    std::vector<std::string> keys;
    for (const auto& [key, value] : stored())
      keys.push_back(key);
    return keys;
  }

  std::string storedValue(std::string_view key) const {
    for (const auto& [name, value] : stored()) {
      if (name == key)
        return value;
    }
    return "<missing>";
  }

 private:
  test::TempFolder home_;
  test::ScopedEnvironment config_{"XDG_CONFIG_HOME", home_.path().string()};
};

TEST_F(SettingsFile, NewFileHoldsEveryDefaultThenRequestsBothScans) {
  const test::OpenLog log;
  SCAN_LIVERIES.value = false;
  gf_initParameters();
  EXPECT_EQ(storedKeys(), registryKeys());
  EXPECT_EQ(stored().size(), 60U);
  EXPECT_EQ(storedValue("PROGRAM_VERSION"), "11.10.3");
  EXPECT_EQ(storedValue("SCAN_LIVERIES"), "true");
  EXPECT_EQ(storedValue("SCAN_AIRPORTS"), "true");
  EXPECT_EQ(storedValue("LAST_EPOCH_TIME:"), "0");
  EXPECT_EQ(storedValue("PORT_NUMBER"), "10747");
  EXPECT_THAT(stored()[24], Pair("AIRP_HEIGHT", "18000"));
  EXPECT_THAT(stored()[35], Pair("AIRP_HEIGHT", "18000"));
  EXPECT_TRUE(SCAN_LIVERIES.value);
  EXPECT_THAT(test::readFile(file()), testing::StartsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n"
                                                          "  <parameters>\n"
                                                          "    <parameter name=\"RANDOM\" value=\"true\" />\n"));
  EXPECT_THAT(log.body(), HasSubstr(file().string() + " not found,  create new with default values:\n"));
}

TEST_F(SettingsFile, UnusableFileIsWrittenFreshButKeptAsOlderGenerationAndMemoryIsLeft) {
  for (const std::string_view unusable : {"<root><other/></root>", "<root><parameters>", ""}) {
    test::writeFile(file(), unusable);
    RANGE.value = 25;
    EXPECT_TRUE(gf_readParameters()) << unusable;
    EXPECT_EQ(RANGE.value, 25);
    EXPECT_EQ(storedKeys(), registryKeys());
    EXPECT_EQ(storedValue("RANGE"), "40");
    EXPECT_EQ(test::readFile(olderGeneration()), unusable);
  }
}

TEST_F(SettingsFile, ReadLogsEverySettingBetweenBanners) {
  writeSettings(R"(<parameter name="PORT_NUMBER" value="4711"/>)");
  const test::OpenLog log;
  EXPECT_FALSE(gf_readParameters());
  const std::string stars(34, '*');
  EXPECT_THAT(log.body(), testing::StartsWith("\n" + stars + " parameters " + stars + "\nfrom '" + file().string() +
                                              "'\nRANDOM=true\nAEROWINX=false\n"));
  EXPECT_THAT(log.body(), HasSubstr("\nRANGE=40\n"));
  EXPECT_THAT(log.body(), HasSubstr("\nPORT_NUMBER=\"4711\"\n"));
  EXPECT_THAT(log.body(), HasSubstr("\nSIM_CHOICE=\"MSFS 2020\"\n"));
  EXPECT_THAT(log.body(), testing::EndsWith("\n" + std::string(80, '*') + "\n"));
}

TEST_F(SettingsFile, MissingKeysGetTheirDefaultsAppendedAtTheEnd) {
  writeSettings(R"(<parameter name="RANGE" value="25"/><parameter name="OLD_KEY" value="x"/>)");
  WEEK.value = true;
  EXPECT_FALSE(gf_readParameters());
  EXPECT_EQ(RANGE.value, 25);
  EXPECT_FALSE(WEEK.value);

  std::vector<std::string> expected{"RANGE", "OLD_KEY"};
  bool airpHeightSeen = false;
  for (const auto& key : registryKeys()) {
    if (key == "RANGE" || (key == "AIRP_HEIGHT" && std::exchange(airpHeightSeen, true)))
      continue;
    expected.push_back(key);
  }
  EXPECT_EQ(storedKeys(), expected);
  EXPECT_EQ(storedValue("WEEK"), "false");
}

TEST_F(SettingsFile, NumbersAreClampedToTheirRangeNotSnappedToAChoice) {
  for (const auto& [text, expected] : std::vector<std::pair<std::string, std::int32_t>>{
           {"500", 100}, {"1", 2}, {"37", 37}, {"-7", 2}, {"abc", 2}, {"99999999999", 100}}) {
    writeSettings(fmt::format(R"(<parameter name="RANGE" value="{}"/>)", text));
    gf_readParameters();
    EXPECT_EQ(RANGE.value, expected) << text;
    EXPECT_EQ(storedValue("RANGE"), text) << "the clamped value is not written back";
  }
}

TEST_F(SettingsFile, BoolSpellings) {
  for (const auto& [text, expected] : std::vector<std::pair<std::string, bool>>{
           {"yes", true}, {"Y", true}, {"1", true}, {"True", true}, {"no", false}, {"false", false}, {"0", false}}) {
    writeSettings(fmt::format(R"(<parameter name="AEROWINX" value="{}"/>)", text));
    gf_readParameters();
    EXPECT_EQ(AEROWINX.value, expected) << text;
  }
}

TEST_F(SettingsFile, ValuelessEntriesReadAsEmptyAndAreNotAppended) {
  writeSettings(R"(<parameter name="RANDOM"/><parameter name="MAX_FIT"/><parameter name="PORT_NUMBER"/>)");
  EXPECT_FALSE(gf_readParameters());
  EXPECT_FALSE(RANDOM.value);
  EXPECT_EQ(MAX_FIT.value, 0);
  EXPECT_EQ(PORT_NUMBER.getValue(), "");
  const auto keys = storedKeys();
  for (const std::string key : {"RANDOM", "MAX_FIT", "PORT_NUMBER"}) {
    EXPECT_EQ(std::count(keys.begin(), keys.end(), key), 1) << key;
  }
}

TEST_F(SettingsFile, FirstOfTwoEntriesIsReadAndASaveSetsBoth) {
  writeSettings(R"(<parameter name="RANGE" value="25"/><parameter name="RANGE" value="30"/>)");
  gf_readParameters();
  EXPECT_EQ(RANGE.value, 25);
  RANGE.value = 50;
  gf_saveIntParameter(RANGE);
  const auto entries = stored();
  EXPECT_EQ(std::count(entries.begin(), entries.end(), std::pair<std::string, std::string>{"RANGE", "50"}), 2);
}

TEST_F(SettingsFile, KeysOutsideTheRegistriesHaveNoEffect) {
  writeSettings(R"(<parameter name="ALL_INSTALL_PATH" value="/x"/><parameter name="parking_percentage" value="90"/>)"
                R"(<parameter name="CALLSIGN_2_OBJECTID" value="BAW1"/><parameter name="Flush static" value="1"/>)"
                R"(<parameter name="LAST_EPOCH_TIME:" value="1700000000"/>)");
  gf_readParameters();
  EXPECT_EQ(ALL_INSTALL_PATH.getValue(), "");
  EXPECT_EQ(parking_percentage.value, 30);
  EXPECT_EQ(CALLSIGN_2_OBJECTID.getValue(), "");
  EXPECT_EQ(LAST_EPOCH_TIME.value, 1700000000);
}

TEST_F(SettingsFile, OldFileWithoutRootIsReadAndGetsRootAtTheFirstSave) {
  test::writeFile(file(), R"(<parameters><parameter name="RANGE" value="25"/></parameters>)");
  const test::OpenLog log;
  EXPECT_FALSE(gf_readParameters());
  EXPECT_EQ(RANGE.value, 25);
  pugi::xml_document document;
  ASSERT_TRUE(document.load_file(file().c_str()));
  EXPECT_STREQ(document.document_element().name(), "parameters");

  WEEK.value = true;
  gf_saveBoolParameter(WEEK);
  ASSERT_TRUE(document.load_file(file().c_str()));
  EXPECT_STREQ(document.document_element().name(), "root");
  EXPECT_EQ(storedKeys(), registryKeys());
  EXPECT_EQ(storedValue("WEEK"), "true");
  EXPECT_EQ(storedValue("RANGE"), "25");
  EXPECT_THAT(log.body(),
              HasSubstr("\nPlacing a root level around a new parameters.xml to make it 100% xml compliance\n"));
}

TEST_F(SettingsFile, SingleSaveWithoutAFileWritesThatSettingAlone) {
  DESTINATION.value = "EHAM";
  gf_saveStringParameter(DESTINATION);
  EXPECT_THAT(stored(), ElementsAre(Pair("DESTINATION", "EHAM")));
}

TEST_F(SettingsFile, SingleSaveNeverReplacesAnUnreadableFileByOneSetting) {
  test::writeFile(file(), "<root><parameters><parameter name=\"RANGE\"");
  LIG_AUTOMATIC.value = false;
  RANGE.value = 65;
  gf_saveIntParameter(RANGE);
  EXPECT_EQ(storedKeys(), registryKeys());
  EXPECT_EQ(storedValue("RANGE"), "65");
  EXPECT_EQ(storedValue("LIG_AUTOMATIC"), "false");
  EXPECT_EQ(test::readFile(olderGeneration()), "<root><parameters><parameter name=\"RANGE\"");
}

// The copy of an unusable file to parameters0.xml that a full disk cuts short: the file stays as it was, the log says
// so once and names the full disk, however many settings are saved meanwhile, and the first save that finds room keeps
// the file and writes the settings anew.
TEST_F(SettingsFile, AFileLeftAsItWasOnAFullDiskIsLoggedOnceAndKeptOnceThereIsRoom) {
  const test::OpenLog log;
  const test::SmallDisk disk{folder(), 64 * 1024};
  if (!disk.available()) {
    GTEST_SKIP() << "mounting a small disk needs root";
  }
  const std::string unusable = "<root><parameters><!--" + std::string(8 * 1024, 'x') + "--><parameter name=\"RANGE\"";
  test::writeFile(file(), unusable);
  const auto filler = folder() / "filler";
  std::ofstream(filler, std::ios::binary) << std::string(64 * 1024, 'f');
  std::filesystem::resize_file(filler, std::filesystem::file_size(filler) - 4096);

  gf_readParameters();
  for (const std::int32_t range : {50, 60, 70}) {
    RANGE.value = range;
    gf_saveIntParameter(RANGE);
  }

  EXPECT_TRUE(test::readFile(file()) == unusable);
  const std::string copyFailed =
      fmt::format("==> copy {} -> {} failed: No space left on device\n", file().string(), olderGeneration().string());
  const std::string leftAsItWas =
      fmt::format("==> {} is left as it was, saving it as parameters0.xml failed; the settings stay in memory only\n",
                  file().string());
  const std::string logged = log.body();
  EXPECT_EQ(occurrences(logged, copyFailed), 1U) << logged;
  EXPECT_EQ(occurrences(logged, leftAsItWas), 1U);
  EXPECT_EQ(occurrences(logged, "==> "), 2U);

  std::filesystem::remove(filler);
  RANGE.value = 65;
  gf_saveIntParameter(RANGE);
  EXPECT_TRUE(test::readFile(olderGeneration()) == unusable);
  EXPECT_EQ(storedKeys(), registryKeys());
  EXPECT_EQ(storedValue("RANGE"), "65");
}

TEST_F(SettingsFile, ConcurrentSingleSavesLoseNothing) {
  gf_saveParameters(false);
  const std::vector<std::vector<StringParameter*>> groups{{&lfolder0, &lfolder1, &lfolder2},
                                                          {&lfolder3, &lfolder4, &lfolder5},
                                                          {&lfolder6, &lfolder7, &AIG_VERSION},
                                                          {&DBASE_VERSION, &AIRPORTS_VERSION, &DESTINATION}};
  std::vector<std::thread> threads;
  for (const auto& group : groups) {
    threads.emplace_back([&group] {
      for (int round = 0; round < 8; ++round) {
        for (auto* setting : group) {
          setting->setValue(fmt::format("{} {}", setting->key, round));
        }
      }
    });
  }
  threads.emplace_back([] {
    for (int round = 0; round < 24; ++round) {
      MAX_FIT.value = round;
      gf_saveIntParameter(MAX_FIT);
    }
  });
  for (auto& thread : threads)
    thread.join();

  EXPECT_EQ(storedKeys(), registryKeys());
  for (const auto& group : groups) {
    for (const auto* setting : group) {
      EXPECT_EQ(storedValue(setting->key), setting->key + " 7");
    }
  }
  EXPECT_EQ(storedValue("MAX_FIT"), "23");
}

// Files of more than a few bytes cannot be written while the limit holds.
class FileSizeLimit {
 public:
  FileSizeLimit() {
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = previous_;
    tight.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &tight);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST_F(SettingsFile, FailedSavesLeaveTheOldFileWhole) {
  gf_saveParameters(false);
  const std::string before = test::readFile(file());
  RANGE.value = 80;
  {
    const FileSizeLimit limit;
    gf_saveIntParameter(RANGE);
    gf_saveParameters(false);
  }
  EXPECT_EQ(test::readFile(file()), before);
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder())) {
    ++files;
    EXPECT_EQ(entry.path().filename(), "parameters.xml");
  }
  EXPECT_EQ(files, 1U);
}

TEST_F(SettingsFile, ReadAndWholeWriteShowTheValuesInTheirControls) {
  const test::HeadlessWindow window;
  AUTO_RANGE.hwnd = window.control(ui::ControlKind::checkBox, AUTO_RANGE.controlId);
  RANGE.hwnd = window.control(ui::ControlKind::comboBox, RANGE.controlId);
  BLOCK_CALLSIGN.hwnd = window.control(ui::ControlKind::edit, BLOCK_CALLSIGN.controlId);
  writeSettings(R"(<parameter name="AUTO_RANGE" value="false"/><parameter name="RANGE" value="65"/>)"
                R"(<parameter name="BLOCK_CALLSIGN" value="BAW1"/>)");
  ui::setChecked(AUTO_RANGE.hwnd, true);
  gf_readParameters();
  EXPECT_FALSE(ui::isChecked(AUTO_RANGE.hwnd));
  EXPECT_EQ(ui::text(RANGE.hwnd), "65");
  EXPECT_EQ(ui::text(BLOCK_CALLSIGN.hwnd), "BAW1");

  AUTO_RANGE.value = true;
  BLOCK_CALLSIGN.value = "DLH4";
  gf_saveParameters(true);
  EXPECT_TRUE(ui::isChecked(AUTO_RANGE.hwnd)) << "a whole write shows the current value, also with defaults";
  EXPECT_EQ(ui::text(BLOCK_CALLSIGN.hwnd), "DLH4");
  EXPECT_EQ(storedValue("BLOCK_CALLSIGN"), "");
  for (auto* control : std::initializer_list<OptionControl*>{&AUTO_RANGE, &RANGE, &BLOCK_CALLSIGN}) {
    control->hwnd = ui::noHandle;
  }
}

TEST(SettingsDocument, LookupFindsParametersWithOrWithoutRoot) {
  pugi::xml_document withRoot;
  withRoot.load_string(R"(<root><parameters><parameter name="WEEK" value="true"/></parameters></root>)");
  pugi::xml_document withoutRoot;
  withoutRoot.load_string(R"(<parameters><parameter value="x"/><parameter name="MAX_FIT" value="9"/></parameters>)");
  EXPECT_EQ(gf_getBoolParameter(withRoot, "WEEK"), true);
  EXPECT_EQ(gf_getBoolParameter(withRoot, "week"), std::nullopt);
  EXPECT_EQ(gf_getIntParameter(withoutRoot, "MAX_FIT"), 9);
  EXPECT_EQ(gf_getStringParameter(withoutRoot, ""), "x") << "a missing name counts as the empty text";
  EXPECT_EQ(gf_getStringParameter(pugi::xml_document{}, "MAX_FIT"), std::nullopt);
}

TEST(SettingsDocument, AppendWritesNameThenValue) {
  pugi::xml_document document;
  const auto parameters = document.append_child("parameters");
  EXPECT_TRUE(gf_appendBoolParameter(parameters, "WEEK", true));
  EXPECT_TRUE(gf_appendIntParameter(parameters, "RANGE", -3));
  EXPECT_TRUE(gf_appendStringParameter(parameters, "DESTINATION", "EHAM"));
  EXPECT_FALSE(gf_appendStringParameter(pugi::xml_node{}, "DESTINATION", "EHAM"));
  std::ostringstream text;
  document.save(text, "", pugi::format_raw | pugi::format_no_declaration);
  EXPECT_EQ(text.str(), R"(<parameters><parameter name="WEEK" value="true"/><parameter name="RANGE" value="-3"/>)"
                        R"(<parameter name="DESTINATION" value="EHAM"/></parameters>)");
}

}  // namespace
}  // namespace cvl

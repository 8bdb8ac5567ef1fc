#include "foundation/parameters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/exit_reasons.h"
#include "foundation/constants.h"
#include "foundation/headless_window.h"
#include "foundation/open_log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "support/temp_folder.h"

namespace cvl {
namespace {

using test::HeadlessWindow;
using test::OpenLog;
using testing::HasSubstr;
using testing::Not;

std::string selectedText(ui::Handle combo) {
  const int index = ui::comboSelectedIndex(combo);
  return index < 0 ? "<none>" : ui::comboItems(combo).at(static_cast<std::size_t>(index));
}

TEST(Parameters, ConstructionFillsEveryFieldWithTheDefault) {
  const StringParameter text{"PORT_NUMBER", "10747"};
  EXPECT_EQ(text.minValue, "10747");
  EXPECT_EQ(text.maxValue, "10747");
  EXPECT_EQ(text.getValue(), "10747");
  const BoolParameter flag{"RANDOM", true};
  EXPECT_TRUE(flag.minValue && flag.maxValue && flag.value);
  const IntParameter outside{"X", 500, 1, 60};
  EXPECT_EQ(outside.value, 500);
}

TEST(Parameters, IntChoiceRangeIsTheFirstToTheLastChoice) {
  const IntChoiceParameter range{"RANGE", 40, {2, 3, 50, 100}, 32818, 231};
  EXPECT_EQ(range.minValue, 2);
  EXPECT_EQ(range.maxValue, 100);
  EXPECT_EQ(range.clampToRange(500), 100);
  EXPECT_EQ(range.clampToRange(1), 2);
  EXPECT_EQ(range.clampToRange(37), 37);
  EXPECT_EQ(range.clampToRange(-5'000'000'000), 2);
}

TEST(Parameters, IndexOfValueNeedsAnExactMatch) {
  StringChoiceParameter none{"SIM_CHOICE", "MSFS 2020", {}, 32789, 119};
  EXPECT_EQ(none.indexOfValue(), std::nullopt);
  StringChoiceParameter sim{"SIM_CHOICE", "msfs 2024", {"MSFS 2020", "MSFS 2024"}, 32789, 119};
  EXPECT_EQ(sim.indexOfValue(), std::nullopt);
  sim.value = "MSFS 2024";
  EXPECT_EQ(sim.indexOfValue(), 1U);
}

TEST(Parameters, LogLinesShowKeyAndValue) {
  const OpenLog log;
  StringParameter{"PORT_NUMBER", "10747"}.log();
  BoolParameter{"RANDOM", true}.log();
  IntParameter{"RANGE", 40, 2, 100}.log();
  EXPECT_EQ(log.body(), "PORT_NUMBER=\"10747\"\nRANDOM=true\nRANGE=40\n");
}

TEST(Parameters, AppendWritesTheDefaultButLogsTheCurrentValue) {
  const OpenLog log;
  IntParameter holding{"MAX_HOLDING_MINUTES", 20, 1, 60};
  holding.value = 33;
  pugi::xml_document document;
  const auto parameters = document.append_child("parameters");
  holding.appendTo(parameters, true);
  holding.appendTo(parameters, false);
  EXPECT_EQ(gf_getIntParameter(document, "MAX_HOLDING_MINUTES"), 20);
  EXPECT_STREQ(parameters.last_child().attribute("value").as_string(), "33");
  EXPECT_EQ(log.body(), "MAX_HOLDING_MINUTES=33\nMAX_HOLDING_MINUTES=33\n");
}

TEST(Parameters, FailedAppendIsLogged) {
  const OpenLog log;
  const StringParameter lost{"lfolder3", "C:/liveries"};
  lost.appendTo(pugi::xml_node{}, false);
  EXPECT_THAT(log.body(), HasSubstr("===> adding xml parameter lfolder3 with C:/liveries failed!\n"));
}

TEST(Parameters, NothingIsLoggedWhileStoppingButAppendsStillHappen) {
  const OpenLog log;
  stopRequested = true;
  const BoolParameter flag{"WEEK", false};
  pugi::xml_document document;
  flag.appendTo(document.append_child("parameters"), false);
  flag.appendTo(pugi::xml_node{}, false);
  stopRequested = false;
  EXPECT_EQ(gf_getBoolParameter(document, "WEEK"), false);
  EXPECT_EQ(log.body(), "");
}

TEST(Parameters, SetValueSavesTheSettingEvenWhenUnchanged) {
  const test::TempFolder home;
  const test::ScopedEnvironment config{"XDG_CONFIG_HOME", home.path().string()};
  std::filesystem::create_directories(appDataFolder());
  StringParameter destination{"DESTINATION", ""};
  destination.setValue("");
  pugi::xml_document document;
  ASSERT_TRUE(document.load_file(parametersPath().c_str()));
  EXPECT_EQ(gf_getStringParameter(document, "DESTINATION"), "");
  destination.setValue("EHAM");
  ASSERT_TRUE(document.load_file(parametersPath().c_str()));
  EXPECT_EQ(gf_getStringParameter(document, "DESTINATION"), "EHAM");
}

TEST(ParameterCombos, TextChoiceIsSelectedExactlyNotByPrefix) {
  const HeadlessWindow window;
  StringChoiceParameter packages{"AI_PACKAGE_SELECTOR", "AIG", gf_makeAiPackageOrders(), 32790, 147};
  packages.fillCombo();  // no control yet: nothing happens
  packages.hwnd = window.control(ui::ControlKind::comboBox, 32790);
  packages.fillCombo();
  EXPECT_EQ(ui::comboItems(packages.hwnd).size(), 64U);
  EXPECT_EQ(selectedText(packages.hwnd), "AIG");
  packages.value = "aig";
  packages.fillCombo();
  EXPECT_EQ(selectedText(packages.hwnd), "<none>");
}

TEST(ParameterCombos, NumberChoiceSelectsOnlyAnEqualChoice) {
  const HeadlessWindow window;
  IntChoiceParameter range{"RANGE", 40, {2, 3, 40, 100}, 32818, 231};
  range.hwnd = window.control(ui::ControlKind::comboBox, 32818);
  range.fillCombo();
  EXPECT_THAT(ui::comboItems(range.hwnd), testing::ElementsAre("2", "3", "40", "100"));
  EXPECT_EQ(selectedText(range.hwnd), "40");
  range.value = 37;
  range.fillCombo();
  EXPECT_EQ(selectedText(range.hwnd), "<none>");
}

TEST(ParameterCombos, CallsignIsSelectedExactly) {
  const HeadlessWindow window;
  *callsignChoices = {"BAW123", "BAW1", "DLH4"};
  CALLSIGN_2_OBJECTID.value = "BAW1";
  CALLSIGN_2_OBJECTID.hwnd = window.control(ui::ControlKind::comboBox, 32831);
  gf_fillCallsign2ObjectIdCombo();
  EXPECT_EQ(selectedText(CALLSIGN_2_OBJECTID.hwnd), "BAW1");
  *callsignChoices = {""};
  CALLSIGN_2_OBJECTID.value = "";
  CALLSIGN_2_OBJECTID.hwnd = ui::noHandle;
}

}  // namespace
}  // namespace cvl

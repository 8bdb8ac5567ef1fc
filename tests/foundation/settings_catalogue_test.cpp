#include "foundation/settings_catalogue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <set>

#include "foundation/constants.h"

namespace cvl {
namespace {

using testing::ElementsAre;

// One registered setting as the settings file and the main window see it.
struct Entry {
  std::string key;
  std::string defaultText;
  std::int64_t minValue = 0;
  std::int64_t maxValue = 0;
  int controlId = 0;
  int rowY = 0;
  bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& entry, std::ostream* out) {
  *out << entry.key << " default " << entry.defaultText << " range " << entry.minValue << ".." << entry.maxValue
       << " id " << entry.controlId << " row " << entry.rowY;
}

Entry withControl(Entry entry, const Parameter& setting) {
  if (const auto* control = dynamic_cast<const OptionControl*>(&setting)) {
    entry.controlId = control->controlId;
    entry.rowY = static_cast<int>(control->rowY);
  }
  return entry;
}

std::vector<Entry> registeredEntries() {
  std::vector<Entry> entries;
  for (const auto* setting : boolRegistry) {
    entries.push_back(withControl({setting->key, setting->defaultValue ? "1" : "0"}, *setting));
  }
  for (const auto* setting : checkBoxRegistry) {
    entries.push_back(withControl({setting->key, setting->defaultValue ? "1" : "0"}, *setting));
  }
  for (const auto* setting : intRegistry) {
    entries.push_back(withControl(
        {setting->key, std::to_string(setting->defaultValue), setting->minValue, setting->maxValue}, *setting));
  }
  for (const auto* setting : intChoiceRegistry) {
    entries.push_back(withControl(
        {setting->key, std::to_string(setting->defaultValue), setting->minValue, setting->maxValue}, *setting));
  }
  for (const auto* setting : stringRegistry) {
    entries.push_back(withControl({setting->key, setting->defaultValue.get()}, *setting));
  }
  for (const auto* setting : stringControlRegistry) {
    entries.push_back(withControl({setting->key, setting->defaultValue.get()}, *setting));
  }
  return entries;
}

TEST(SettingsCatalogue, RegistriesHoldEverySettingInFileOrder) {
  const std::vector<Entry> expected{
      {"RANDOM", "1"},
      {"AEROWINX", "0", 0, 0, 32774, 203},
      {"LIG_AUTOMATIC", "1", 0, 0, 32799, 147},
      {"COLLISION_USER_AIR", "1", 0, 0, 32833, 287},
      {"COLLISION_USER_GND", "1", 0, 0, 32834, 287},
      {"COLLISION_LIVE_PARKED_GND", "0", 0, 0, 32835, 287},
      {"ALWAYS_ON_TOP", "0", 0, 0, 32771, 147},
      {"SCAN_LIVERIES", "1", 0, 0, 32798, 147},
      {"LIG_PRIORITIZE", "1", 0, 0, 32800, 147},
      {"AIRBORNE_ONLY", "0", 0, 0, 32821, 231},
      {"SCAN_AIRPORTS", "1", 0, 0, 32802, 175},
      {"LIGHT_AIRCRAFT", "1", 0, 0, 32809, 203},
      {"HELICOPTERS", "1", 0, 0, 32810, 203},
      {"HIGH_PERF_AIRCRAFT", "1", 0, 0, 32811, 203},
      {"NAV_LIGHTS_WHILE_PARKED", "1", 0, 0, 32776, 175},
      {"AUTO_RANGE", "1", 0, 0, 32819, 231},
      {"STRAIGHT_PBS_ONLY", "0", 0, 0, 32855, 315},
      {"PARK_SOFT", "0", 0, 0, 32852, 371},
      {"WEEK", "0", 0, 0, 32853, 371},
      {"INITIAL_LOAD_ONLY", "0", 0, 0, 32851, 371},
      {"GUID_CHANGES", "1", 0, 0, 32773, 203},
      {"CUSTOM_PARKING_PERCENTAGE", "-1", -1, 100},
      {"MAIN_WINDOW_X", "400", -30000, 30000},
      {"MAIN_WINDOW_Y", "20", -30000, 30000},
      {"AIRP_HEIGHT", "18000", 2000, 48000, 32841, 343},
      {"LAST_EPOCH_TIME:", "0", 0, 2147483647},
      {"HOLDING_THRESHOLD_METERS", "250", 10, 4000},
      {"MAX_HOLDING_MINUTES", "20", 1, 60},
      {"MAX_FIT", "47", 0, 47},
      {"MATCHING_DEPTH", "4", 1, 4, 32808, 203},
      {"RANGE", "40", 2, 100, 32818, 231},
      {"AR_ABOVE_HEIGHT", "48000", 18000, 48000, 32820, 231},
      {"MAX_PARK_SEL", "500", 0, 500, 32848, 315},
      {"MAX_LIVE_SEL", "500", 0, 500, 32849, 315},
      {"AIRP_RANGE", "20", 5, 30, 32840, 343},
      {"AIRP_HEIGHT", "18000", 2000, 48000, 32841, 343},
      {"PROGRAM_VERSION", ""},
      {"MSFS_INSTALL_PATH", ""},
      {"PORT_NUMBER", "10747"},
      {"lfolder0", ""},
      {"lfolder1", ""},
      {"lfolder2", ""},
      {"lfolder3", ""},
      {"lfolder4", ""},
      {"lfolder5", ""},
      {"lfolder6", ""},
      {"lfolder7", ""},
      {"lfolder8", ""},
      {"lfolder9", ""},
      {"AIG_VERSION", ""},
      {"DBASE_VERSION", ""},
      {"AIRPORTS_VERSION", ""},
      {"LIV_SCAN_VERSION", ""},
      {"ADDONS_SCAN_VERSION", ""},
      {"MYSIMADDON24_VERSION", ""},
      {"MSFS_2024_INSTALL_PATH", ""},
      {"AI_PACKAGE_SELECTOR", "AIG, FSLTL, JF, MTL", 0, 0, 32790, 147},
      {"DESTINATION", "", 0, 0, 32839, 343},
      {"BLOCK_CALLSIGN", "", 0, 0, 32828, 259},
      {"SIM_CHOICE", "MSFS 2020", 0, 0, 32789, 119},
  };
  EXPECT_EQ(registeredEntries(), expected);
  EXPECT_EQ(intRegistry[3], intChoiceRegistry[6]);
}

TEST(SettingsCatalogue, UnregisteredSettingsAndButtons) {
  EXPECT_EQ(ALL_INSTALL_PATH.key, "ALL_INSTALL_PATH");
  EXPECT_EQ(ALL_INSTALL_PATH.controlId, 32788);
  EXPECT_EQ(MAX_FIT_FL.key, "MAX_FIT_FL");
  EXPECT_EQ(MAX_FIT_FL.defaultValue, 24.0F);
  EXPECT_EQ(MAX_FIT_FL.minValue, 0.5F);
  EXPECT_EQ(MAX_FIT_FL.maxValue, 24.0F);
  EXPECT_EQ(MAX_FIT_FL.controlId, 32854);
  EXPECT_EQ(MAX_FIT_FL.choices.size(), 20U);
  EXPECT_EQ(parking_percentage.key, "parking_percentage");
  EXPECT_EQ(parking_percentage.value, 30);
  EXPECT_EQ(parking_percentage.choices.size(), 21U);
  EXPECT_EQ(parking_percentage.maxValue, 100);
  EXPECT_EQ(parking_percentage.controlId, 32850);
  EXPECT_EQ(CALLSIGN_2_OBJECTID.controlId, 32831);
  EXPECT_EQ(CALLSIGN_2_OBJECTID.choices, callsignChoices);
  EXPECT_THAT(*callsignChoices, ElementsAre(""));

  std::vector<std::tuple<std::string, int, int>> buttons;
  for (const auto* button :
       {&flushStaticButton, &tbloButton, &unblockButton, &csOidButton, &blockButton, &nowButton, &rereadButton}) {
    buttons.emplace_back(button->key, button->controlId, button->rowY);
  }
  EXPECT_THAT(buttons, ElementsAre(std::tuple{"Flush static", 32857, 369}, std::tuple{"tblo", 32804, 175},
                                   std::tuple{"Unblock", 32829, 257}, std::tuple{"cs->oid:", 32830, 257},
                                   std::tuple{"Block", 32832, 257}, std::tuple{"Now", 32847, 313},
                                   std::tuple{"Re-read", 32838, 341}));
}

TEST(SettingsCatalogue, EveryControlIdIsUsedOnce) {
  std::set<int> ids;
  std::size_t controls = 0;
  auto count = [&](const OptionControl& control) {
    ids.insert(control.controlId);
    ++controls;
  };
  for (const auto* setting : checkBoxRegistry)
    count(*setting);
  for (const auto* setting : intChoiceRegistry)
    count(*setting);
  for (const auto* setting : stringControlRegistry)
    count(*setting);
  for (const OptionControl* control : std::initializer_list<const OptionControl*>{
           &AI_PACKAGE_SELECTOR, &DESTINATION, &ALL_INSTALL_PATH, &MAX_FIT_FL, &parking_percentage,
           &CALLSIGN_2_OBJECTID, &flushStaticButton, &tbloButton, &unblockButton, &csOidButton, &blockButton,
           &nowButton, &rereadButton}) {
    count(*control);
  }
  EXPECT_EQ(controls, 42U);
  EXPECT_EQ(ids.size(), 42U);
}

TEST(SettingsCatalogue, ChoiceLists) {
  EXPECT_THAT(rangeChoices, ElementsAre(2, 3, 4, 5, 6, 8, 10, 12, 14, 16, 18, 20, 25, 30, 35, 40, 50, 65, 80, 100));
  EXPECT_THAT(arAboveHeightChoices,
              ElementsAre(18000, 21000, 24000, 27000, 30000, 33000, 36000, 39000, 42000, 45000, 48000));
  EXPECT_THAT(airpHeightChoices, ElementsAre(2000, 4000, 6000, 8000, 10000, 12000, 14000, 16000, 18000, 36000, 48000));
  EXPECT_THAT(airpRangeChoices, ElementsAre(5, 10, 15, 20, 25, 30));
  EXPECT_THAT(MATCHING_DEPTH.choices, ElementsAre(1, 2, 3, 4));
  EXPECT_THAT(MAX_FIT_FL.choices, ElementsAre(0.5F, 1.0F, 1.5F, 2.0F, 2.5F, 3.0F, 3.5F, 4.0F, 4.5F, 5.0F, 6.0F, 7.0F,
                                              8.0F, 9.0F, 10.0F, 12.0F, 15.0F, 18.0F, 21.0F, 24.0F));
  EXPECT_EQ(parkingPercentageChoices.front(), 0);
  EXPECT_EQ(parkingPercentageChoices[7], 35);
  EXPECT_THAT(SIM_CHOICE.choices, ElementsAre("MSFS 2020", "MSFS 2024"));
  EXPECT_EQ(MAX_LIVE_SEL.choices, MAX_PARK_SEL.choices);
  EXPECT_NE(&MAX_LIVE_SEL.value, &MAX_PARK_SEL.value);
}

TEST(SettingsCatalogue, AiPackageOrdersFollowTheRule) {
  const auto& orders = AI_PACKAGE_SELECTOR.choices;
  ASSERT_EQ(orders.size(), 64U);
  EXPECT_EQ(std::set<std::string>(orders.begin(), orders.end()).size(), 64U);
  EXPECT_THAT(std::vector(orders.begin(), orders.begin() + 7),
              ElementsAre("AIG, FSLTL, JF, MTL", "AIG, FSLTL, MTL, JF", "AIG, JF, FSLTL, MTL", "AIG, JF, MTL, FSLTL",
                          "AIG, MTL, FSLTL, JF", "AIG, MTL, JF, FSLTL", "FSLTL, AIG, JF, MTL"));
  EXPECT_EQ(orders[23], "MTL, JF, FSLTL, AIG");
  EXPECT_THAT(std::vector(orders.begin() + 24, orders.begin() + 30),
              ElementsAre("AIG, FSLTL, JF", "AIG, JF, FSLTL", "FSLTL, AIG, JF", "FSLTL, JF, AIG", "JF, AIG, FSLTL",
                          "JF, FSLTL, AIG"));
  EXPECT_EQ(orders[30], "AIG, FSLTL, MTL");
  EXPECT_THAT(std::vector(orders.begin() + 48, orders.begin() + 52),
              ElementsAre("AIG, FSLTL", "FSLTL, AIG", "AIG, JF", "JF, AIG"));
  EXPECT_THAT(std::vector(orders.end() - 4, orders.end()), ElementsAre("AIG", "FSLTL", "JF", "MTL"));
}

TEST(SettingsCatalogue, DerivedRangeAndKeyCopies) {
  EXPECT_EQ(rangeNm.load(), 40.0);
  EXPECT_EQ(rangeMetres.load(), 74080);
  EXPECT_EQ(rangeKey, RANGE.key);
  EXPECT_EQ(autoRangeKey, AUTO_RANGE.key);
  EXPECT_EQ(initialLoadOnlyKey, INITIAL_LOAD_ONLY.key);
  EXPECT_EQ(parkSoftKey, PARK_SOFT.key);
  EXPECT_EQ(parkingPercentageKey, parking_percentage.key);
  EXPECT_EQ(maxFitKey, MAX_FIT.key);
  EXPECT_EQ(weekKey, WEEK.key);
  EXPECT_EQ(maxLiveSelKey, MAX_LIVE_SEL.key);
}

}  // namespace
}  // namespace cvl

#include "foundation/settings_catalogue.h"

#include <algorithm>

#include "foundation/constants.h"

namespace cvl {
namespace {

std::vector<std::int32_t> lf_steps(std::int32_t first, std::int32_t last, std::int32_t step) {
  std::vector<std::int32_t> steps;
  for (std::int32_t number = first; number <= last; number += step) {
    steps.push_back(number);
  }
  return steps;
}

std::string lf_joinNames(const std::vector<std::string>& names, const std::vector<std::size_t>& order) {
  std::string text;
  for (const auto index : order) {
    text += text.empty() ? names[index] : ", " + names[index];
  }
  return text;
}

}  // namespace

std::vector<std::int32_t> lf_initMatchingDepthChoices() {
  return {1, 2, 3, 4};
}

std::vector<std::string> gf_makeAiPackageOrders() {
  const std::vector<std::string> packages{"AIG", "FSLTL", "JF", "MTL"};
  std::vector<std::string> orders;
  for (std::size_t length = packages.size(); length >= 1; --length) {
    // A selector with its marks first walks the sets of this length in lexicographic order, backwards.
    std::vector<bool> selector(packages.size(), false);
    std::fill_n(selector.begin(), length, true);
    do {
      std::vector<std::size_t> order;
      for (std::size_t index = 0; index < packages.size(); ++index) {
        if (selector[index]) {
          order.push_back(index);
        }
      }
      do {
        orders.push_back(lf_joinNames(packages, order));
      } while (std::next_permutation(order.begin(), order.end()));
    } while (std::prev_permutation(selector.begin(), selector.end()));
  }
  return orders;
}

const std::vector<std::int32_t> rangeChoices{2, 3, 4, 5, 6, 8, 10, 12, 14, 16, 18, 20, 25, 30, 35, 40, 50, 65, 80, 100};
const std::vector<std::int32_t> arAboveHeightChoices = lf_steps(18000, 48000, 3000);
const std::vector<float> maxFitFlChoices{0.5F, 1.0F, 1.5F, 2.0F, 2.5F,  3.0F,  3.5F,  4.0F,  4.5F,  5.0F,
                                         6.0F, 7.0F, 8.0F, 9.0F, 10.0F, 12.0F, 15.0F, 18.0F, 21.0F, 24.0F};
const std::vector<std::int32_t> maxSelChoices{0, 10, 25, 50, 75, 100, 500};
const std::vector<std::int32_t> parkingPercentageChoices = lf_steps(0, 100, 5);
const std::vector<std::int32_t> matchingDepthChoices = lf_initMatchingDepthChoices();
const std::vector<std::int32_t> airpRangeChoices = lf_steps(5, 30, 5);
const std::vector<std::int32_t> airpHeightChoices{2000,  4000,  6000,  8000,  10000, 12000,
                                                  14000, 16000, 18000, 36000, 48000};
const std::vector<std::string> simChoiceChoices{"MSFS 2020", "MSFS 2024"};
const std::vector<std::string> aiPackageSelectorChoices = gf_makeAiPackageOrders();
std::shared_ptr<std::vector<std::string>> callsignChoices = std::make_shared<std::vector<std::string>>(1);

BoolParameter RANDOM{"RANDOM", true};

CheckBoxParameter AEROWINX{"AEROWINX", false, 32774, 203};
CheckBoxParameter LIG_AUTOMATIC{"LIG_AUTOMATIC", true, 32799, 147};
CheckBoxParameter COLLISION_USER_AIR{"COLLISION_USER_AIR", true, 32833, 287};
CheckBoxParameter COLLISION_USER_GND{"COLLISION_USER_GND", true, 32834, 287};
CheckBoxParameter COLLISION_LIVE_PARKED_GND{"COLLISION_LIVE_PARKED_GND", false, 32835, 287};
CheckBoxParameter ALWAYS_ON_TOP{"ALWAYS_ON_TOP", false, 32771, 147};
CheckBoxParameter SCAN_LIVERIES{"SCAN_LIVERIES", true, 32798, 147};
CheckBoxParameter LIG_PRIORITIZE{"LIG_PRIORITIZE", true, 32800, 147};
CheckBoxParameter AIRBORNE_ONLY{"AIRBORNE_ONLY", false, 32821, 231};
CheckBoxParameter SCAN_AIRPORTS{"SCAN_AIRPORTS", true, 32802, 175};
CheckBoxParameter LIGHT_AIRCRAFT{"LIGHT_AIRCRAFT", true, 32809, 203};
CheckBoxParameter HELICOPTERS{"HELICOPTERS", true, 32810, 203};
CheckBoxParameter HIGH_PERF_AIRCRAFT{"HIGH_PERF_AIRCRAFT", true, 32811, 203};
CheckBoxParameter NAV_LIGHTS_WHILE_PARKED{"NAV_LIGHTS_WHILE_PARKED", true, 32776, 175};
CheckBoxParameter AUTO_RANGE{autoRangeKey, true, 32819, 231};
CheckBoxParameter STRAIGHT_PBS_ONLY{"STRAIGHT_PBS_ONLY", false, 32855, 315};
CheckBoxParameter PARK_SOFT{parkSoftKey, false, 32852, 371};
CheckBoxParameter WEEK{weekKey, false, 32853, 371};
CheckBoxParameter INITIAL_LOAD_ONLY{initialLoadOnlyKey, false, 32851, 371};
CheckBoxParameter GUID_CHANGES{"GUID_CHANGES", true, 32773, 203};

IntParameter CUSTOM_PARKING_PERCENTAGE{"CUSTOM_PARKING_PERCENTAGE", -1, -1, 100};
IntParameter MAIN_WINDOW_X{"MAIN_WINDOW_X", 400, -30000, 30000};
IntParameter MAIN_WINDOW_Y{"MAIN_WINDOW_Y", 20, -30000, 30000};
IntChoiceParameter AIRP_HEIGHT{"AIRP_HEIGHT", 18000, airpHeightChoices, 32841, 343};
IntParameter LAST_EPOCH_TIME{"LAST_EPOCH_TIME:", 0, 0, 2147483647};
IntParameter HOLDING_THRESHOLD_METERS{"HOLDING_THRESHOLD_METERS", 250, 10, 4000};
IntParameter MAX_HOLDING_MINUTES{"MAX_HOLDING_MINUTES", 20, 1, 60};
IntParameter MAX_FIT{maxFitKey, 47, 0, 47};

IntChoiceParameter MATCHING_DEPTH{"MATCHING_DEPTH", 4, matchingDepthChoices, 32808, 203};
IntChoiceParameter RANGE{rangeKey, 40, rangeChoices, 32818, 231};
IntChoiceParameter AR_ABOVE_HEIGHT{"AR_ABOVE_HEIGHT", 48000, arAboveHeightChoices, 32820, 231};
IntChoiceParameter MAX_PARK_SEL{"MAX_PARK_SEL", 500, maxSelChoices, 32848, 315};
IntChoiceParameter MAX_LIVE_SEL{maxLiveSelKey, 500, maxSelChoices, 32849, 315};
IntChoiceParameter AIRP_RANGE{"AIRP_RANGE", 20, airpRangeChoices, 32840, 343};

StringParameter PROGRAM_VERSION{"PROGRAM_VERSION", ""};
StringParameter MSFS_INSTALL_PATH{"MSFS_INSTALL_PATH", emptyString};
StringParameter PORT_NUMBER{"PORT_NUMBER", "10747"};
StringParameter lfolder0{"lfolder0", ""};
StringParameter lfolder1{"lfolder1", ""};
StringParameter lfolder2{"lfolder2", ""};
StringParameter lfolder3{"lfolder3", ""};
StringParameter lfolder4{"lfolder4", ""};
StringParameter lfolder5{"lfolder5", ""};
StringParameter lfolder6{"lfolder6", ""};
StringParameter lfolder7{"lfolder7", ""};
StringParameter lfolder8{"lfolder8", ""};
StringParameter lfolder9{"lfolder9", ""};
StringParameter AIG_VERSION{"AIG_VERSION", ""};
StringParameter DBASE_VERSION{"DBASE_VERSION", ""};
StringParameter AIRPORTS_VERSION{"AIRPORTS_VERSION", ""};
StringParameter LIV_SCAN_VERSION{"LIV_SCAN_VERSION", ""};
StringParameter ADDONS_SCAN_VERSION{"ADDONS_SCAN_VERSION", ""};
StringParameter MYSIMADDON24_VERSION{"MYSIMADDON24_VERSION", ""};
StringParameter MSFS_2024_INSTALL_PATH{"MSFS_2024_INSTALL_PATH", ""};
StringChoiceParameter AI_PACKAGE_SELECTOR{"AI_PACKAGE_SELECTOR", "AIG, FSLTL, JF, MTL", aiPackageSelectorChoices, 32790,
                                          147};
EditParameter DESTINATION{"DESTINATION", "", 32839, 343};

EditParameter BLOCK_CALLSIGN{"BLOCK_CALLSIGN", "", 32828, 259};
StringChoiceParameter SIM_CHOICE{"SIM_CHOICE", "MSFS 2020", simChoiceChoices, 32789, 119};

EditParameter ALL_INSTALL_PATH{"ALL_INSTALL_PATH", "", 32788, 119};
FloatChoiceParameter MAX_FIT_FL{"MAX_FIT_FL", 24.0F, maxFitFlChoices, 32854, 371};
IntChoiceParameter parking_percentage{parkingPercentageKey, 30, parkingPercentageChoices, 32850, 371};
SharedChoiceParameter CALLSIGN_2_OBJECTID{"CALLSIGN_2_OBJECTID", "", callsignChoices, 32831, 259};

ButtonControl flushStaticButton{"Flush static", 32857, 369};
ButtonControl tbloButton{"tblo", 32804, 175};
ButtonControl unblockButton{"Unblock", 32829, 257};
ButtonControl csOidButton{"cs->oid:", 32830, 257};
ButtonControl blockButton{"Block", 32832, 257};
ButtonControl nowButton{"Now", 32847, 313};
ButtonControl rereadButton{"Re-read", 32838, 341};

std::atomic<double> rangeNm{40.0};
std::atomic<std::int32_t> rangeMetres{40 * 1852};

const std::array<BoolParameter*, 1> boolRegistry{&RANDOM};
const std::array<CheckBoxParameter*, 20> checkBoxRegistry{&AEROWINX,
                                                          &LIG_AUTOMATIC,
                                                          &COLLISION_USER_AIR,
                                                          &COLLISION_USER_GND,
                                                          &COLLISION_LIVE_PARKED_GND,
                                                          &ALWAYS_ON_TOP,
                                                          &SCAN_LIVERIES,
                                                          &LIG_PRIORITIZE,
                                                          &AIRBORNE_ONLY,
                                                          &SCAN_AIRPORTS,
                                                          &LIGHT_AIRCRAFT,
                                                          &HELICOPTERS,
                                                          &HIGH_PERF_AIRCRAFT,
                                                          &NAV_LIGHTS_WHILE_PARKED,
                                                          &AUTO_RANGE,
                                                          &STRAIGHT_PBS_ONLY,
                                                          &PARK_SOFT,
                                                          &WEEK,
                                                          &INITIAL_LOAD_ONLY,
                                                          &GUID_CHANGES};
const std::array<IntParameter*, 8> intRegistry{
    &CUSTOM_PARKING_PERCENTAGE, &MAIN_WINDOW_X,       &MAIN_WINDOW_Y, &AIRP_HEIGHT, &LAST_EPOCH_TIME,
    &HOLDING_THRESHOLD_METERS,  &MAX_HOLDING_MINUTES, &MAX_FIT};
const std::array<IntChoiceParameter*, 7> intChoiceRegistry{
    &MATCHING_DEPTH, &RANGE, &AR_ABOVE_HEIGHT, &MAX_PARK_SEL, &MAX_LIVE_SEL, &AIRP_RANGE, &AIRP_HEIGHT};
const std::array<StringParameter*, 22> stringRegistry{&PROGRAM_VERSION,
                                                      &MSFS_INSTALL_PATH,
                                                      &PORT_NUMBER,
                                                      &lfolder0,
                                                      &lfolder1,
                                                      &lfolder2,
                                                      &lfolder3,
                                                      &lfolder4,
                                                      &lfolder5,
                                                      &lfolder6,
                                                      &lfolder7,
                                                      &lfolder8,
                                                      &lfolder9,
                                                      &AIG_VERSION,
                                                      &DBASE_VERSION,
                                                      &AIRPORTS_VERSION,
                                                      &LIV_SCAN_VERSION,
                                                      &ADDONS_SCAN_VERSION,
                                                      &MYSIMADDON24_VERSION,
                                                      &MSFS_2024_INSTALL_PATH,
                                                      &AI_PACKAGE_SELECTOR,
                                                      &DESTINATION};
const std::array<EditParameter*, 2> stringControlRegistry{&BLOCK_CALLSIGN, &SIM_CHOICE};

void gf_fillCallsign2ObjectIdCombo() {
  CALLSIGN_2_OBJECTID.fillCombo();
}

}  // namespace cvl

#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/parameters.h"

// Every setting of the program and every push button of the main window, as one global object each.
//
// Naming: a setting's C++ name is its key in parameters.xml, spelled the same (LAST_EPOCH_TIME stands for the key
// "LAST_EPOCH_TIME:", whose colon belongs to the key); a push button is named after its caption with "Button" added.
// Choice lists are named after their setting with "Choices" added.
//
// All of them, the choice lists and the six registries are defined in one file, in declaration order, so each is built
// after what it uses. Globals of other files must not read them from their own static initialisers.
namespace cvl {

// Choice lists.
extern const std::vector<std::int32_t> rangeChoices;              // 2 .. 100 nautical miles
extern const std::vector<std::int32_t> arAboveHeightChoices;      // 18000 .. 48000 feet
extern const std::vector<float> maxFitFlChoices;                  // 0.5 .. 24 hours
extern const std::vector<std::int32_t> maxSelChoices;             // MAX_LIVE_SEL and MAX_PARK_SEL
extern const std::vector<std::int32_t> parkingPercentageChoices;  // 0 .. 100 in steps of 5
extern const std::vector<std::int32_t> matchingDepthChoices;      // 1 .. 4
extern const std::vector<std::int32_t> airpRangeChoices;          // 5 .. 30 nautical miles
extern const std::vector<std::int32_t> airpHeightChoices;         // 2000 .. 48000 feet
extern const std::vector<std::string> simChoiceChoices;           // "MSFS 2020", "MSFS 2024"
extern const std::vector<std::string> aiPackageSelectorChoices;   // the 64 orders of the AI packages
// The live callsigns of CALLSIGN_2_OBJECTID, shared with that setting; one empty text at start.
extern std::shared_ptr<std::vector<std::string>> callsignChoices;

std::vector<std::int32_t> lf_initMatchingDepthChoices();
// Every ordered selection of AIG, FSLTL, JF and MTL: lengths 4, 3, 2, 1; sets and orderings in lexicographic order.
std::vector<std::string> gf_makeAiPackageOrders();

// Registered settings, in registry order.
extern BoolParameter RANDOM;

extern CheckBoxParameter AEROWINX;
extern CheckBoxParameter LIG_AUTOMATIC;
extern CheckBoxParameter COLLISION_USER_AIR;
extern CheckBoxParameter COLLISION_USER_GND;
extern CheckBoxParameter COLLISION_LIVE_PARKED_GND;
extern CheckBoxParameter ALWAYS_ON_TOP;
extern CheckBoxParameter SCAN_LIVERIES;
extern CheckBoxParameter LIG_PRIORITIZE;
extern CheckBoxParameter AIRBORNE_ONLY;
extern CheckBoxParameter SCAN_AIRPORTS;
extern CheckBoxParameter LIGHT_AIRCRAFT;
extern CheckBoxParameter HELICOPTERS;
extern CheckBoxParameter HIGH_PERF_AIRCRAFT;
extern CheckBoxParameter NAV_LIGHTS_WHILE_PARKED;
extern CheckBoxParameter AUTO_RANGE;
extern CheckBoxParameter STRAIGHT_PBS_ONLY;
extern CheckBoxParameter PARK_SOFT;
extern CheckBoxParameter WEEK;
extern CheckBoxParameter INITIAL_LOAD_ONLY;
extern CheckBoxParameter GUID_CHANGES;

extern IntParameter CUSTOM_PARKING_PERCENTAGE;
// The main window's position; the window reads them before the worker runs and saves them when it moves.
extern IntParameter MAIN_WINDOW_X;
extern IntParameter MAIN_WINDOW_Y;
extern IntChoiceParameter AIRP_HEIGHT;  // in the int and the int-choice registry
extern IntParameter LAST_EPOCH_TIME;    // key "LAST_EPOCH_TIME:"
extern IntParameter HOLDING_THRESHOLD_METERS;
extern IntParameter MAX_HOLDING_MINUTES;
extern IntParameter MAX_FIT;

extern IntChoiceParameter MATCHING_DEPTH;
extern IntChoiceParameter RANGE;
extern IntChoiceParameter AR_ABOVE_HEIGHT;
extern IntChoiceParameter MAX_PARK_SEL;
extern IntChoiceParameter MAX_LIVE_SEL;
extern IntChoiceParameter AIRP_RANGE;

extern StringParameter PROGRAM_VERSION;
extern StringParameter MSFS_INSTALL_PATH;
extern StringParameter PORT_NUMBER;
extern StringParameter lfolder0;
extern StringParameter lfolder1;
extern StringParameter lfolder2;
extern StringParameter lfolder3;
extern StringParameter lfolder4;
extern StringParameter lfolder5;
extern StringParameter lfolder6;
extern StringParameter lfolder7;
extern StringParameter lfolder8;
extern StringParameter lfolder9;
extern StringParameter AIG_VERSION;
extern StringParameter DBASE_VERSION;
extern StringParameter AIRPORTS_VERSION;
extern StringParameter LIV_SCAN_VERSION;
extern StringParameter ADDONS_SCAN_VERSION;
extern StringParameter MYSIMADDON24_VERSION;
extern StringParameter MSFS_2024_INSTALL_PATH;
extern StringChoiceParameter AI_PACKAGE_SELECTOR;
extern EditParameter DESTINATION;

extern EditParameter BLOCK_CALLSIGN;
extern StringChoiceParameter SIM_CHOICE;

// Settings in no registry: never read from or written to the settings file.
extern EditParameter ALL_INSTALL_PATH;
extern FloatChoiceParameter MAX_FIT_FL;
extern IntChoiceParameter parking_percentage;
extern SharedChoiceParameter CALLSIGN_2_OBJECTID;

// Push buttons.
extern ButtonControl flushStaticButton;  // "Flush static"
extern ButtonControl tbloButton;         // "tblo"
extern ButtonControl unblockButton;      // "Unblock"
extern ButtonControl csOidButton;        // "cs->oid:"
extern ButtonControl blockButton;        // "Block"
extern ButtonControl nowButton;          // "Now"
extern ButtonControl rereadButton;       // "Re-read"

// The traffic radius derived from RANGE: in nautical miles and in metres (gf_setRange keeps them in step).
extern std::atomic<double> rangeNm;
extern std::atomic<std::int32_t> rangeMetres;

// The registries: the order of a complete write and read of the settings file.
extern const std::array<BoolParameter*, 1> boolRegistry;
extern const std::array<CheckBoxParameter*, 20> checkBoxRegistry;
extern const std::array<IntParameter*, 8> intRegistry;
extern const std::array<IntChoiceParameter*, 7> intChoiceRegistry;
extern const std::array<StringParameter*, 22> stringRegistry;
extern const std::array<EditParameter*, 2> stringControlRegistry;

// Refills the CALLSIGN_2_OBJECTID combo box from the shared callsign list and selects its value.
void gf_fillCallsign2ObjectIdCombo();

}  // namespace cvl

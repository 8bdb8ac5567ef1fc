#include "app/controls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "app/status_line.h"
#include "main_window_fixture.h"
#include "platform/ui/user_input.h"

namespace cvl::test {
namespace {

using testing::ElementsAre;

using Controls = MainWindowTest;

int selectedIndex(const OptionControl& combo) {
  return ui::comboSelectedIndex(combo.hwnd);
}

TEST_F(Controls, CreatesTheFortyTwoControlsOfTheBandInTheirStartStates) {
  SCAN_LIVERIES.value = false;
  const ui::Handle hwnd = openMainWindow();

  std::size_t created = 0;
  for (std::uint16_t id = 32771; id <= 32857; ++id) {
    created += ui::controlById(hwnd, id) != ui::noHandle ? 1 : 0;
  }
  EXPECT_EQ(created, 42U);

  for (const OptionControl* combo : std::initializer_list<const OptionControl*>{
           &SIM_CHOICE, &AI_PACKAGE_SELECTOR, &MATCHING_DEPTH, &RANGE, &AR_ABOVE_HEIGHT, &CALLSIGN_2_OBJECTID,
           &MAX_PARK_SEL, &MAX_LIVE_SEL, &AIRP_RANGE, &AIRP_HEIGHT, &parking_percentage, &MAX_FIT_FL}) {
    EXPECT_TRUE(ui::isEnabled(combo->hwnd)) << combo->controlId;
    EXPECT_TRUE(ui::comboItems(combo->hwnd).empty()) << combo->controlId;
  }
  for (const EditParameter* edit : {&ALL_INSTALL_PATH, &BLOCK_CALLSIGN, &DESTINATION}) {
    EXPECT_FALSE(ui::isEnabled(edit->hwnd)) << edit->key;
  }
  for (const CheckBoxParameter* box : checkBoxRegistry) {
    EXPECT_TRUE(ui::isEnabled(box->hwnd)) << box->key;
    EXPECT_EQ(ui::isChecked(box->hwnd), box->value.load()) << box->key;
  }
  for (const ButtonControl* button :
       {&flushStaticButton, &tbloButton, &unblockButton, &csOidButton, &blockButton, &nowButton, &rereadButton}) {
    EXPECT_FALSE(ui::isEnabled(button->hwnd)) << button->key;
    EXPECT_EQ(ui::text(button->hwnd), button->key);
  }
}

TEST_F(Controls, AComboBoxShowsTheChoiceEqualToTheValueOrNone) {
  openMainWindow();
  parking_percentage.fillCombo();
  SIM_CHOICE.fillCombo();

  parking_percentage.value = 15;
  gf_setIntControlText(parking_percentage);
  EXPECT_EQ(selectedIndex(parking_percentage), 3);

  parking_percentage.value = 1;  // a prefix of "10"
  gf_setIntControlText(parking_percentage);
  EXPECT_EQ(selectedIndex(parking_percentage), -1);

  SIM_CHOICE.value = std::string{"msfs"};  // a prefix of "MSFS 2020" without regard to case
  gf_setStringControlText(SIM_CHOICE);
  EXPECT_EQ(selectedIndex(SIM_CHOICE), -1);

  SIM_CHOICE.value = std::string{"MSFS 2024"};
  gf_setStringControlText(SIM_CHOICE);
  EXPECT_EQ(selectedIndex(SIM_CHOICE), 1);
}

TEST_F(Controls, AnEditFieldShowsItsTextUnlessItIsNotUtf8) {
  openMainWindow();
  BLOCK_CALLSIGN.value = std::string{"DLH4"};
  gf_setStringControlText(BLOCK_CALLSIGN);
  EXPECT_EQ(ui::text(BLOCK_CALLSIGN.hwnd), "DLH4");

  BLOCK_CALLSIGN.value = std::string{"DL\xFF"};
  gf_setStringControlText(BLOCK_CALLSIGN);
  EXPECT_EQ(ui::text(BLOCK_CALLSIGN.hwnd), "DLH4");
  EXPECT_EQ(logBody(), "utf8_to_wide failed for 'DL\xFF': utf8_to_wide: invalid UTF-8\n");
}

TEST_F(Controls, AControlThatWasNeverCreatedOnlyLogsItsId) {
  gf_setIntControlText(RANGE);
  EXPECT_EQ(logBody(), "GetDlgItem failed for ID 32818\n");
}

TEST_F(Controls, SetCheckBoxStoresSavesAndShowsTheValue) {
  openMainWindow();
  gf_setCheckBox(WEEK, true);

  EXPECT_TRUE(WEEK.value);
  EXPECT_TRUE(ui::isChecked(WEEK.hwnd));
  EXPECT_EQ(storedBool("WEEK"), true);

  gf_setCheckBox(WEEK, false);
  EXPECT_FALSE(ui::isChecked(WEEK.hwnd));
  EXPECT_EQ(storedBool("WEEK"), false);
}

TEST_F(Controls, TheParkingGroupIsDisabledWhileBusyAndNowFollowsInitialLoadOnly) {
  openMainWindow();
  gf_enableParkingControls();
  EXPECT_TRUE(nowButtonAllowed);
  EXPECT_EQ(mainWindow.minutesToParkingUpdate, 19);
  EXPECT_TRUE(ui::isEnabled(nowButton.hwnd));

  gf_disableParkingControls();
  EXPECT_TRUE(staticParkingBusy);
  EXPECT_FALSE(nowButtonAllowed) << "unticking INITIAL_LOAD_ONLY must not enable Now while busy";
  for (const OptionControl* control :
       std::initializer_list<const OptionControl*>{&parking_percentage, &MAX_FIT_FL, &MAX_PARK_SEL, &MAX_LIVE_SEL,
                                                   &WEEK, &PARK_SOFT, &flushStaticButton, &rereadButton, &nowButton}) {
    EXPECT_FALSE(ui::isEnabled(control->hwnd)) << control->controlId;
  }
  EXPECT_TRUE(ui::isEnabled(INITIAL_LOAD_ONLY.hwnd));

  gf_enableParkingControls();
  EXPECT_FALSE(staticParkingBusy);
  EXPECT_TRUE(ui::isEnabled(MAX_LIVE_SEL.hwnd));
  EXPECT_TRUE(ui::isEnabled(nowButton.hwnd));
}

TEST_F(Controls, WithInitialLoadOnlyTheNowButtonKeepsItsState) {
  openMainWindow();
  INITIAL_LOAD_ONLY.value = true;

  gf_enableParkingControls();
  EXPECT_FALSE(ui::isEnabled(nowButton.hwnd));
  ui::enable(nowButton.hwnd, true);
  gf_disableParkingControls();
  EXPECT_TRUE(ui::isEnabled(nowButton.hwnd));
}

TEST_F(Controls, TheRangeChosenByHandComesBackWhenAutoRangeIsSwitchedOff) {
  openMainWindow();
  RANGE.fillCombo();
  AUTO_RANGE.value = false;
  RANGE.value = 10;
  gf_updateRangeControl();
  EXPECT_EQ(RANGE.value, 40) << "before any automatic range the default";
  EXPECT_TRUE(ui::isEnabled(RANGE.hwnd));

  RANGE.value = 25;
  AUTO_RANGE.value = true;
  gf_updateRangeControl();
  EXPECT_FALSE(ui::isEnabled(RANGE.hwnd));
  RANGE.value = 80;

  AUTO_RANGE.value = false;
  gf_updateRangeControl();
  EXPECT_EQ(RANGE.value, 25);
  EXPECT_EQ(ui::comboItems(RANGE.hwnd).at(static_cast<std::size_t>(selectedIndex(RANGE))), "25");
  EXPECT_TRUE(ui::isEnabled(RANGE.hwnd));
}

TEST_F(Controls, OnlyAUsersChoiceInTheComboBoxIsASelection) {
  const ui::Handle hwnd = openMainWindow();
  MATCHING_DEPTH.fillCombo();
  const ui::WParam chosen = ui::commandWParam(MATCHING_DEPTH.controlId, ui::notifySelectionChanged);

  EXPECT_EQ(lf_getComboSelection(hwnd, MATCHING_DEPTH.controlId, chosen), (std::pair{3, std::string{"4"}}));
  EXPECT_FALSE(lf_getComboSelection(hwnd, MATCHING_DEPTH.controlId,
                                    ui::commandWParam(MATCHING_DEPTH.controlId, ui::notifyClicked)));
  EXPECT_FALSE(lf_getComboSelection(hwnd, RANGE.controlId, chosen)) << "another control's command";

  ui::user::choose(MATCHING_DEPTH.hwnd, 1);
  ui::pumpMessages();
  EXPECT_EQ(lf_getComboSelection(hwnd, MATCHING_DEPTH.controlId, chosen), (std::pair{1, std::string{"2"}}));

  ui::comboSelectIndex(MATCHING_DEPTH.hwnd, -1);
  EXPECT_FALSE(lf_getComboSelection(hwnd, MATCHING_DEPTH.controlId, chosen));
}

TEST_F(Controls, TheLookupListHoldsTheActiveUnparkedCallsignsInByteOrder) {
  openMainWindow();
  addLiveAircraft("klm12", AcState::active, AcPhase::flying);
  addLiveAircraft("KLM7", AcState::active, AcPhase::taxi);
  addLiveAircraft("BAW9", AcState::active, AcPhase::parked);
  addLiveAircraft("AFR1", AcState::adding2sim, AcPhase::birth);
  addLiveAircraft("DLH4", AcState::active, AcPhase::take_off);

  EXPECT_TRUE(lf_collectLiveCallsigns());

  EXPECT_THAT(*callsignChoices, ElementsAre("DLH4", "KLM7", "klm12"));
  EXPECT_EQ(CALLSIGN_2_OBJECTID.value, "DLH4");
  EXPECT_THAT(ui::comboItems(CALLSIGN_2_OBJECTID.hwnd), ElementsAre("DLH4", "KLM7", "klm12"));
  EXPECT_EQ(selectedIndex(CALLSIGN_2_OBJECTID), 0);
  EXPECT_TRUE(ui::isEnabled(CALLSIGN_2_OBJECTID.hwnd));
  EXPECT_TRUE(ui::isEnabled(blockButton.hwnd));

  ui::enable(unblockButton.hwnd, true);  // a callsign is blocked already
  EXPECT_TRUE(lf_collectLiveCallsigns());
  EXPECT_FALSE(ui::isEnabled(blockButton.hwnd));
}

TEST_F(Controls, TheLookupWithoutLiveAircraftEmptiesTheListAndDisablesIt) {
  openMainWindow();
  CALLSIGN_2_OBJECTID.value = std::string{"KLM7"};

  EXPECT_FALSE(lf_collectLiveCallsigns());

  EXPECT_TRUE(callsignChoices->empty());
  EXPECT_EQ(CALLSIGN_2_OBJECTID.value, "");
  EXPECT_FALSE(ui::isEnabled(CALLSIGN_2_OBJECTID.hwnd));
  EXPECT_FALSE(ui::isEnabled(blockButton.hwnd));
}

TEST_F(Controls, ResettingTheLookupLeavesOneEmptyEntry) {
  openMainWindow();
  addLiveAircraft("KLM7", AcState::active, AcPhase::flying);
  lf_collectLiveCallsigns();
  mainWindow.csOidText = std::string{"= 4f"};

  gf_resetCallsignToObjectId();

  EXPECT_EQ(mainWindow.csOidText, "");
  EXPECT_THAT(*callsignChoices, ElementsAre(""));
  EXPECT_EQ(CALLSIGN_2_OBJECTID.value, "");
  EXPECT_THAT(ui::comboItems(CALLSIGN_2_OBJECTID.hwnd), ElementsAre(""));
  EXPECT_FALSE(ui::isEnabled(CALLSIGN_2_OBJECTID.hwnd));
  EXPECT_FALSE(ui::isEnabled(blockButton.hwnd));
}

TEST_F(Controls, TheLookupListStaysWholeWhileTheWorkerAndTheUiThreadChangeIt) {
  openMainWindow();
  for (int number = 0; number < 50; ++number) {
    addLiveAircraft(fmt::format("KLM{}", number), AcState::active, AcPhase::flying);
  }
  std::thread worker{[] {
    for (int round = 0; round < 200; ++round) {
      lf_collectLiveCallsigns();
    }
  }};
  for (int round = 0; round < 200; ++round) {
    gf_resetCallsignToObjectId();
  }
  worker.join();

  const std::lock_guard lock{gf_callsignListMutex()};
  const std::string value = CALLSIGN_2_OBJECTID.value;
  EXPECT_TRUE(std::find(callsignChoices->begin(), callsignChoices->end(), value) != callsignChoices->end());
  EXPECT_THAT(ui::comboItems(CALLSIGN_2_OBJECTID.hwnd), testing::ContainerEq(*callsignChoices));
}

}  // namespace
}  // namespace cvl::test

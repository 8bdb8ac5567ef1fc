#include "platform/ui/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "headless_window.h"

namespace cvl::test {
namespace {

using ControlModelTest = HeadlessWindowTest;

ui::Handle makeControl(ui::Handle parent, ui::ControlKind kind, std::uint16_t id, bool enabled = true) {
  return ui::createControl(parent, ui::ControlSpec{kind, id, ui::Rect{5, 114, 110, 134}, "", enabled, 0, {}});
}

TEST_F(ControlModelTest, ControlsAreFoundByIdAndKeepTheirState) {
  openWindow();
  ui::Handle edit = ui::createControl(
      window, ui::ControlSpec{ui::ControlKind::edit, 32788, ui::Rect{111, 119, 1311, 135}, "first", false, 0, {}});
  ui::Handle check = makeControl(window, ui::ControlKind::checkBox, 32798);

  EXPECT_EQ(ui::controlById(window, 32788), edit);
  EXPECT_EQ(ui::controlById(window, 32798), check);
  EXPECT_EQ(ui::controlById(window, 1), ui::noHandle);
  EXPECT_EQ(ui::text(edit), "first");
  EXPECT_FALSE(ui::isEnabled(edit));
  EXPECT_TRUE(ui::isEnabled(check));

  ui::setChecked(check, true);
  ui::setChecked(edit, true);  // only check boxes carry a check
  EXPECT_TRUE(ui::isChecked(check));
  EXPECT_FALSE(ui::isChecked(edit));
}

TEST_F(ControlModelTest, WritesFromOtherThreadsAreReadAtOnceWithoutAMessageLoop) {
  openWindow();
  std::vector<ui::Handle> edits;
  for (std::uint16_t id = 1; id <= 4; ++id) {
    edits.push_back(makeControl(window, ui::ControlKind::edit, id, false));
  }
  std::vector<std::thread> writers;
  for (ui::Handle edit : edits) {
    writers.emplace_back([edit] {
      for (int i = 0; i < 200; ++i) {
        ui::setText(edit, std::to_string(i));
        ui::enable(edit, i % 2 == 0);
        EXPECT_EQ(ui::text(edit), std::to_string(i));  // no other thread writes this control
      }
    });
  }
  for (auto& writer : writers) {
    writer.join();
  }
  for (ui::Handle edit : edits) {
    EXPECT_EQ(ui::text(edit), "199");
    EXPECT_FALSE(ui::isEnabled(edit));
  }
}

TEST_F(ControlModelTest, ComboSelectionByIndexAndByPrefix) {
  openWindow();
  ui::Handle combo = makeControl(window, ui::ControlKind::comboBox, 32789);
  ui::comboAdd(combo, "MSFS 2020");
  ui::comboAdd(combo, "MSFS 2024");
  EXPECT_EQ(ui::comboSelectedIndex(combo), -1);
  EXPECT_EQ(ui::comboItems(combo), (std::vector<std::string>{"MSFS 2020", "MSFS 2024"}));

  // The first item that begins with the text, in any ASCII case.
  EXPECT_EQ(ui::comboSelectPrefix(combo, "msfs"), 0);
  EXPECT_EQ(ui::comboSelectPrefix(combo, "msfs 2024"), 1);
  EXPECT_EQ(ui::comboSelectPrefix(combo, "X-Plane"), -1);
  EXPECT_EQ(ui::comboSelectedIndex(combo), 1) << "no match leaves the selection as it was";
  EXPECT_EQ(ui::comboSelectPrefix(combo, "MSFS 2024 and more"), -1);

  ui::comboSelectIndex(combo, 0);
  EXPECT_EQ(ui::comboSelectedIndex(combo), 0);
  ui::comboSelectIndex(combo, 2);
  EXPECT_EQ(ui::comboSelectedIndex(combo), -1);

  ui::comboSelectIndex(combo, 1);
  ui::comboReset(combo);
  EXPECT_TRUE(ui::comboItems(combo).empty());
  EXPECT_EQ(ui::comboSelectedIndex(combo), -1);
}

TEST_F(ControlModelTest, DeadHandlesAnswerEmptyAndIgnoreWrites) {
  openWindow();
  ui::Handle button = makeControl(window, ui::ControlKind::pushButton, 32829);
  ui::destroyWindow(window);

  EXPECT_FALSE(ui::isWindow(window));
  EXPECT_FALSE(ui::isWindow(button));
  ui::setText(button, "Unblock");
  ui::enable(button, true);
  EXPECT_EQ(ui::text(button), "");
  EXPECT_FALSE(ui::isEnabled(button));
  EXPECT_EQ(ui::controlById(window, 32829), ui::noHandle);
  EXPECT_EQ(makeControl(window, ui::ControlKind::pushButton, 1), ui::noHandle);
  ui::invalidate(window, ui::Rect{0, 0, 10, 10});
}

}  // namespace
}  // namespace cvl::test

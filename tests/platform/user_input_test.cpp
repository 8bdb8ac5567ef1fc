#include "platform/ui/user_input.h"

#include <gtest/gtest.h>

#include "headless_window.h"
#include "platform/ui/controls.h"

namespace cvl::test {
namespace {

using UserInputTest = HeadlessWindowTest;

ui::Handle makeControl(ui::Handle parent, ui::ControlKind kind, std::uint16_t id, ui::EnterHook onEnter = {}) {
  return ui::createControl(parent,
                           ui::ControlSpec{kind, id, ui::Rect{5, 114, 110, 134}, "", true, 80, std::move(onEnter)});
}

TEST_F(UserInputTest, OnlyAUsersComboChoiceNotifies) {
  openWindow();
  ui::Handle combo = makeControl(window, ui::ControlKind::comboBox, 32789);
  ui::comboAdd(combo, "MSFS 2020");
  ui::comboAdd(combo, "MSFS 2024");
  ui::comboSelectIndex(combo, 0);
  ui::comboSelectPrefix(combo, "msfs 2024");
  ui::pumpMessages();
  EXPECT_TRUE(receivedOf(ui::msgCommand).empty());

  ui::user::choose(combo, 0);
  ui::user::choose(combo, 5);  // not in the list: nothing happens
  ui::pumpMessages();
  EXPECT_EQ(ui::comboSelectedIndex(combo), 0);
  EXPECT_EQ(receivedOf(ui::msgCommand),
            (std::vector<ReceivedMessage>{{ui::msgCommand, ui::commandWParam(32789, ui::notifySelectionChanged),
                                           static_cast<ui::LParam>(combo)}}));
}

TEST_F(UserInputTest, ACheckBoxClickOnlyNotifies) {
  openWindow();
  ui::Handle check = makeControl(window, ui::ControlKind::checkBox, 32771);
  ui::user::click(check);
  ui::pumpMessages();
  EXPECT_FALSE(ui::isChecked(check));
  auto commands = receivedOf(ui::msgCommand);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(ui::loWord(commands[0].wParam), 32771);
  EXPECT_EQ(ui::hiWord(commands[0].wParam), ui::notifyClicked);
}

TEST_F(UserInputTest, DisabledControlsTakeNoInput) {
  openWindow();
  ui::Handle button = makeControl(window, ui::ControlKind::pushButton, 32838);
  ui::enable(button, false);
  ui::user::click(button);
  ui::pumpMessages();
  EXPECT_TRUE(receivedOf(ui::msgCommand).empty());
}

TEST_F(UserInputTest, EnterRunsTheFieldsHookWithTheTypedText) {
  openWindow();
  std::vector<std::string> entered;
  ui::Handle edit =
      makeControl(window, ui::ControlKind::edit, 32828, [&](ui::Handle field) { entered.push_back(ui::text(field)); });
  ui::user::type(edit, "klm123");
  ui::user::pressEnter(edit);
  ui::pumpMessages();
  EXPECT_EQ(entered, std::vector<std::string>{"klm123"});
  EXPECT_TRUE(receivedOf(ui::msgCommand).empty());
}

TEST_F(UserInputTest, EditFieldsAndCheckBoxesAskForTheirColoursOnce) {
  openWindow([](ui::Handle, ui::Message message, ui::WParam wParam, ui::LParam) -> ui::LResult {
    if (message == ui::msgCtlColorEdit || message == ui::msgCtlColorStatic) {
      reinterpret_cast<ui::ControlColours*>(wParam)->textBackground = ui::rgb(153, 204, 255);
    }
    return 0;
  });
  ui::Handle edit = makeControl(window, ui::ControlKind::edit, 1);
  ui::Handle check = makeControl(window, ui::ControlKind::checkBox, 2);
  makeControl(window, ui::ControlKind::comboBox, 3);
  ui::pumpMessages();
  ui::setText(edit, "changed");
  ui::pumpMessages();
  EXPECT_EQ(receivedOf(ui::msgCtlColorEdit).size(), 1u);
  EXPECT_EQ(receivedOf(ui::msgCtlColorEdit)[0].lParam, static_cast<ui::LParam>(edit));
  EXPECT_EQ(receivedOf(ui::msgCtlColorStatic).size(), 1u);
  EXPECT_EQ(receivedOf(ui::msgCtlColorStatic)[0].lParam, static_cast<ui::LParam>(check));
}

}  // namespace
}  // namespace cvl::test

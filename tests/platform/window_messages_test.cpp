#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <thread>

#include "headless_window.h"
#include "platform/ui/user_input.h"
#include "platform/ui/window.h"

namespace cvl::test {
namespace {

using WindowMessagesTest = HeadlessWindowTest;

TEST_F(WindowMessagesTest, TheProcedureGetsCreateWithItsBoundsAndMayRefuse) {
  ui::Rect createdWith;
  openWindow([&](ui::Handle, ui::Message message, ui::WParam, ui::LParam lParam) -> ui::LResult {
    if (message == ui::msgCreate) {
      createdWith = reinterpret_cast<const ui::CreateParams*>(lParam)->bounds;
    }
    return 0;
  });
  ASSERT_NE(window, ui::noHandle);
  EXPECT_EQ(createdWith.right, 890);
  EXPECT_EQ(ui::windowRect(window)->left, 10);

  ui::Handle refused = ui::createWindow(ui::WindowSpec{
      "refused", ui::Rect{0, 0, 10, 10}, [](ui::Handle, ui::Message message, ui::WParam, ui::LParam) -> ui::LResult {
        return message == ui::msgCreate ? -1 : 0;
      }});
  EXPECT_EQ(refused, ui::noHandle);
}

TEST_F(WindowMessagesTest, MessagesPostedFromManyThreadsArriveInEachThreadsOrder) {
  openWindow();
  constexpr int threads = 4;
  constexpr int perThread = 250;
  std::vector<std::thread> posters;
  for (int t = 0; t < threads; ++t) {
    posters.emplace_back([this, t] {
      for (int i = 0; i < perThread; ++i) {
        ui::post(window, ui::msgApp + 1, static_cast<ui::WParam>(t), i);
      }
    });
  }
  std::thread quitter{[&] {
    for (auto& poster : posters) {
      poster.join();
    }
    ui::postQuit(7);
  }};
  EXPECT_EQ(ui::runMessageLoop(), 7);
  quitter.join();

  std::map<ui::WParam, ui::LParam> next;
  for (const auto& each : receivedOf(ui::msgApp + 1)) {
    EXPECT_EQ(each.lParam, next[each.wParam]++) << "thread " << each.wParam;
  }
  EXPECT_EQ(receivedOf(ui::msgApp + 1).size(), std::size_t{threads * perThread});
}

TEST_F(WindowMessagesTest, QuitLeavesLaterMessagesForTheNextLoop) {
  openWindow();
  ui::post(window, ui::msgApp + 1);
  ui::postQuit(0);
  ui::post(window, ui::msgApp + 2);
  EXPECT_EQ(ui::pumpMessages(), 0);
  EXPECT_EQ(receivedOf(ui::msgApp + 2).size(), 0u);
  EXPECT_EQ(ui::pumpMessages(), std::nullopt);
  EXPECT_EQ(receivedOf(ui::msgApp + 2).size(), 1u);
}

TEST_F(WindowMessagesTest, ClosingIsTheProceduresChoice) {
  // A procedure that keeps its window on msgClose.
  openWindow();
  ui::user::closeBox(window);
  ui::pumpMessages();
  EXPECT_EQ(receivedOf(ui::msgClose).size(), 1u);
  EXPECT_TRUE(ui::isWindow(window));

  // The default meaning destroys it, after msgDestroy, and drops what is still queued for it.
  ui::Handle defaulting = ui::createWindow(ui::WindowSpec{"default", ui::Rect{0, 0, 10, 10}, ui::defWindowProc});
  ui::post(defaulting, ui::msgClose);
  ui::post(defaulting, ui::msgApp + 1);
  ui::pumpMessages();
  EXPECT_FALSE(ui::isWindow(defaulting));
  EXPECT_FALSE(ui::post(defaulting, ui::msgApp + 1));
}

TEST_F(WindowMessagesTest, DestroySendsDestroyFirst) {
  openWindow();
  ui::destroyWindow(window);
  ASSERT_FALSE(received.empty());
  EXPECT_EQ(received.back().message, ui::msgDestroy);
}

TEST_F(WindowMessagesTest, ASignalActsAsTheCloseBox) {
  openWindow();
  ui::closeOnSignals(window, {SIGUSR1});
  std::raise(SIGUSR1);
  ui::pumpMessages();
  EXPECT_EQ(receivedOf(ui::msgClose).size(), 1u);
  std::signal(SIGUSR1, SIG_DFL);
}

TEST_F(WindowMessagesTest, PositionAndTopmostAreKept) {
  openWindow();
  ui::moveWindow(window, -32000, 5);
  EXPECT_EQ(ui::windowRect(window)->left, -32000);
  EXPECT_EQ(ui::windowRect(window)->right, -32000 + 880);
  EXPECT_FALSE(ui::isTopmost(window));
  ui::setTopmost(window, true);
  EXPECT_TRUE(ui::isTopmost(window));
}

}  // namespace
}  // namespace cvl::test

#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/ui/backend.h"
#include "platform/ui/window.h"

namespace cvl::test {

struct ReceivedMessage {
  ui::Message message;
  ui::WParam wParam;
  ui::LParam lParam;

  friend bool operator==(const ReceivedMessage&, const ReceivedMessage&) = default;
};

// A hidden window on the headless backend whose procedure keeps every message it gets (UI thread only).
class HeadlessWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("CORVALEN_UI", "headless", 0);  // unless a run asks for the real window
    if (ui::activeBackend() != ui::BackendKind::headless) {
      GTEST_SKIP() << "the headless backend is not in use";
    }
  }

  void TearDown() override { ui::destroyWindow(window); }

  ui::Handle openWindow(ui::WindowProc extra = {}) {
    window = ui::createWindow(ui::WindowSpec{
        "test", ui::Rect{10, 20, 890, 536},
        [this, extra](ui::Handle handle, ui::Message message, ui::WParam wParam, ui::LParam lParam) -> ui::LResult {
          received.push_back({message, wParam, lParam});
          return extra ? extra(handle, message, wParam, lParam) : 0;
        }});
    return window;
  }

  std::vector<ReceivedMessage> receivedOf(ui::Message message) const {
    std::vector<ReceivedMessage> matching;
    for (const auto& each : received) {
      if (each.message == message) {
        matching.push_back(each);
      }
    }
    return matching;
  }

  ui::Handle window = ui::noHandle;
  std::vector<ReceivedMessage> received;
};

}  // namespace cvl::test

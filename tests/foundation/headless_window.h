#pragma once

#include <cstdint>
#include <cstdlib>

#include "platform/ui/controls.h"
#include "platform/ui/window.h"

namespace cvl::test {

// A main window of the headless backend, so that settings can be bound to real controls without a display.
class HeadlessWindow {
 public:
  HeadlessWindow() {
    ::setenv("CORVALEN_UI", "headless", 1);
    window_ = ui::createWindow({"CRVL", {0, 0, 880, 516}, [](auto...) { return ui::LResult{0}; }});
  }
  ~HeadlessWindow() { ui::destroyWindow(window_); }
  HeadlessWindow(const HeadlessWindow&) = delete;
  HeadlessWindow& operator=(const HeadlessWindow&) = delete;

  ui::Handle control(ui::ControlKind kind, std::uint16_t id) const {
    return ui::createControl(window_, {kind, id, {0, 0, 100, 20}, "", true, 100, {}});
  }

 private:
  ui::Handle window_ = ui::noHandle;
};

}  // namespace cvl::test

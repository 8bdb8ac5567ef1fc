#include "platform/ui/backend.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/ui/layer.h"

namespace cvl::ui {
namespace {

struct Chosen {
  BackendKind kind;
  detail::Toolkit* toolkit;
};

bool wantsWindow() {
  const char* forced = std::getenv("CORVALEN_UI");
  if (forced != nullptr && std::string_view{forced} == "headless") {
    return false;
  }
  if (forced != nullptr && std::string_view{forced} == "fltk") {
    return true;
  }
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
}

Chosen choose() {
  if (wantsWindow()) {
    if (auto fltk = detail::makeFltkToolkit()) {
      return {BackendKind::fltk, fltk.release()};
    }
    std::fputs("No display could be opened: the window is not shown\n", stderr);
  }
  return {BackendKind::headless, detail::makeHeadlessToolkit().release()};
}

// Never destroyed: the toolkit lives as long as the process.
const Chosen& chosen() {
  static const Chosen choice = choose();
  return choice;
}

}  // namespace

BackendKind activeBackend() {
  return chosen().kind;
}

void mirrorToConsole(std::string_view line) {
  if (activeBackend() != BackendKind::headless) {
    return;
  }
  static std::mutex consoleMutex;
  std::lock_guard lock{consoleMutex};
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

namespace detail {

Toolkit& toolkit() {
  return *chosen().toolkit;
}

}  // namespace detail
}  // namespace cvl::ui

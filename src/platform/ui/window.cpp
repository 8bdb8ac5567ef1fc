#include "platform/ui/window.h"

#include <utility>

#include "platform/ui/layer.h"
#include "platform/ui/message_box.h"

namespace cvl::ui {
namespace {

using detail::layer;
using detail::toolkit;

thread_local bool handlingMessages = false;

// Marks this thread as the UI thread while it handles messages.
class HandlingMessages {
 public:
  HandlingMessages() : previous_(std::exchange(handlingMessages, true)) {}
  ~HandlingMessages() { handlingMessages = previous_; }
  HandlingMessages(const HandlingMessages&) = delete;
  HandlingMessages& operator=(const HandlingMessages&) = delete;

 private:
  bool previous_;
};

// While the loop runs, callers off the UI thread wait for their message boxes' answers. When it ends nobody can
// answer any more, so the waits still open end with it.
class LoopRunning {
 public:
  LoopRunning() {
    std::lock_guard lock{layer().mutex};
    layer().boxesHoldCallers = true;
  }
  ~LoopRunning() { releaseMessageBoxWaits(); }
  LoopRunning(const LoopRunning&) = delete;
  LoopRunning& operator=(const LoopRunning&) = delete;
};

template <typename Change>
void changeWindow(Handle window, Change&& change) {
  detail::changeState(&detail::Layer::windows, window, std::forward<Change>(change));
}

std::optional<detail::Task> nextTask() {
  std::lock_guard lock{layer().mutex};
  if (layer().tasks.empty()) {
    return std::nullopt;
  }
  detail::Task task = std::move(layer().tasks.front());
  layer().tasks.pop_front();
  return task;
}

std::optional<int> handleQueued() {
  detail::postSignalledClose();
  detail::followChanges();
  while (auto task = nextTask()) {
    if (auto* posted = std::get_if<detail::PostedMessage>(&*task)) {
      detail::callProcedure(posted->window, posted->message, posted->wParam, posted->lParam);
    } else if (auto* quit = std::get_if<detail::QuitRequest>(&*task)) {
      detail::followChanges();
      return quit->exitCode;
    } else {
      std::get<std::function<void()>> (*task)();
    }
    detail::followChanges();
  }
  detail::repaintInvalid();
  return std::nullopt;
}

}  // namespace

Handle createWindow(WindowSpec spec) {
  Handle handle = layer().newHandle();
  const Rect bounds = spec.bounds;
  const std::string title = spec.title;
  {
    std::lock_guard lock{layer().mutex};
    detail::WindowState state;
    state.title = std::move(spec.title);
    state.bounds = spec.bounds;
    state.procedure = std::move(spec.procedure);
    state.background = spec.background;
    layer().windows.emplace(handle, std::move(state));
    layer().markChangedLocked(handle);
  }
  const CreateParams params{bounds, title};
  if (detail::callProcedure(handle, msgCreate, 0, reinterpret_cast<LParam>(&params)) == -1) {
    destroyWindow(handle);
    return noHandle;
  }
  return handle;
}

void showWindow(Handle window) {
  changeWindow(window, [](detail::WindowState& state) {
    state.shown = true;
    detail::invalidateLocked(
        state, Rect{0, 0, state.bounds.right - state.bounds.left, state.bounds.bottom - state.bounds.top}, true);
  });
  detail::followChanges();
}

bool updateWindow(Handle window) {
  if (!isWindow(window)) {
    return false;
  }
  detail::followChanges();
  detail::repaintInvalid(window);
  toolkit().flush();
  return true;
}

void destroyWindow(Handle window) {
  if (!isWindow(window)) {
    return;
  }
  detail::callProcedure(window, msgDestroy, 0, 0);
  {
    std::lock_guard lock{layer().mutex};
    auto found = layer().windows.find(window);
    if (found == layer().windows.end()) {
      return;  // the procedure destroyed it itself
    }
    for (Handle control : found->second.controls) {
      layer().controls.erase(control);
      layer().markChangedLocked(control);
    }
    layer().windows.erase(found);
    layer().paints.erase(window);
    layer().markChangedLocked(window);
  }
  detail::followChanges();
}

std::optional<Rect> windowRect(Handle window) {
  std::lock_guard lock{layer().mutex};
  auto found = layer().windows.find(window);
  if (found == layer().windows.end()) {
    return std::nullopt;
  }
  return found->second.bounds;
}

void moveWindow(Handle window, int left, int top) {
  changeWindow(window, [&](detail::WindowState& state) {
    state.bounds =
        Rect{left, top, left + state.bounds.right - state.bounds.left, top + state.bounds.bottom - state.bounds.top};
  });
}

void setTopmost(Handle window, bool topmost) {
  changeWindow(window, [&](detail::WindowState& state) { state.topmost = topmost; });
}

bool isTopmost(Handle window) {
  std::lock_guard lock{layer().mutex};
  auto found = layer().windows.find(window);
  return found != layer().windows.end() && found->second.topmost;
}

bool post(Handle window, Message message, WParam wParam, LParam lParam) {
  {
    std::lock_guard lock{layer().mutex};
    if (!layer().windows.contains(window)) {
      return false;
    }
    layer().tasks.push_back(detail::PostedMessage{window, message, wParam, lParam});
  }
  layer().wake();
  return true;
}

void postQuit(int exitCode) {
  layer().enqueue(detail::QuitRequest{exitCode});
}

int runMessageLoop() {
  const HandlingMessages uiThread;
  const LoopRunning running;
  while (true) {
    layer().drainWake();
    if (auto exitCode = handleQueued()) {
      return *exitCode;
    }
    toolkit().waitForWake(layer().wakeReadFd());
  }
}

std::optional<int> pumpMessages() {
  const HandlingMessages uiThread;
  layer().drainWake();
  auto exitCode = handleQueued();
  toolkit().flush();
  return exitCode;
}

bool onUiThread() {
  return handlingMessages;
}

LResult defWindowProc(Handle window, Message message, WParam, LParam) {
  if (message == msgClose) {
    destroyWindow(window);
  }
  return 0;
}

}  // namespace cvl::ui

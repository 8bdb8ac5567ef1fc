#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <variant>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/messages.h"
#include "platform/ui/paint_record.h"
#include "platform/ui/painter.h"
#include "platform/ui/window.h"

// Inside the window layer: the state that every call shares, the queue of the UI thread, and the toolkit that shows
// the state. Not for use outside src/platform/ui.
namespace cvl::ui::detail {

struct ControlState {
  Handle parent = noHandle;
  ControlKind kind = ControlKind::pushButton;
  std::uint16_t id = 0;
  Rect bounds;
  int listHeight = 0;
  EnterHook onEnter;
  std::string text;
  bool enabled = true;
  bool checked = false;
  std::vector<std::string> items;
  int selected = -1;
  ControlColours colours;
  bool coloursAsked = false;
};

struct WindowState {
  std::string title;
  Rect bounds;
  WindowProc procedure;
  Colour background;
  bool shown = false;
  bool topmost = false;
  std::optional<Rect> invalid;
  bool erase = false;
  std::vector<Handle> controls;  // in order of creation
};

// A message box's answer, which a caller off the UI thread waits for. The first answer counts.
class BoxAnswer {
 public:
  void give();
  void await();

 private:
  std::mutex mutex_;
  std::condition_variable given_;
  bool answered_ = false;
};

// Shows the state on the screen. Runs on the UI thread only, except showMessageBox.
class Toolkit {
 public:
  virtual ~Toolkit() = default;
  // Brings the visible form of a live window or control in step with its state, making it on first sight.
  virtual void follow(Handle handle) = 0;
  // The window or control is gone.
  virtual void forget(Handle handle) = 0;
  // The area must be painted again (through paintWindow), at once or when the toolkit next draws.
  virtual void repaint(Handle window, const Rect& area, bool erase) = 0;
  // Draws what is pending now.
  virtual void flush() = 0;
  // Blocks until the wake pipe is readable or the toolkit had input of its own.
  virtual void waitForWake(int wakeFd) = 0;
  // Any thread; returns without waiting for the box to be closed, and calls answered (on any thread) once the user
  // has answered it.
  virtual void showMessageBox(const std::string& text, std::function<void()> answered) = 0;
};

// Draws nothing: the headless backend paints through it, and beginPaint answers with it outside a paint. Without a font
// it reckons every byte of a text as wide as the font's widest character, so that a text it finds to fit also fits
// the window.
class NullPainter final : public Painter {
 public:
  explicit NullPainter(const Rect& area) : Painter(area) {}
  void fillRect(const Rect&, Colour) override {}
  void line(int, int, int, int, Colour) override {}
  void text(int, int, std::string_view, Colour) override {}
  int textWidth(std::string_view utf8) const override {
    constexpr std::size_t widestText = std::numeric_limits<int>::max() / fontSize;
    return static_cast<int>(std::min(utf8.size(), widestText)) * fontSize;
  }
};

struct PostedMessage {
  Handle window;
  Message message;
  WParam wParam;
  LParam lParam;
};
struct QuitRequest {
  int exitCode;
};
using Task = std::variant<PostedMessage, QuitRequest, std::function<void()>>;

class Layer {
 public:
  Layer();
  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;

  // Everything below the mutex is guarded by it. Window procedures and the toolkit are never called while it is held.
  std::mutex mutex;
  std::unordered_map<Handle, WindowState> windows;
  std::unordered_map<Handle, ControlState> controls;
  std::unordered_map<Handle, std::deque<PaintRecord>> paints;
  std::deque<Task> tasks;
  std::unordered_set<Handle> toFollow;  // handles whose visible form lags behind their state
  std::vector<std::string> messageBoxes;
  // While the message loop runs, callers on other threads wait for their boxes' answers, until the waits are
  // released (the loop ends, or the program is closing).
  bool boxesHoldCallers = false;
  std::vector<std::shared_ptr<BoxAnswer>> awaitedBoxes;

  Handle newHandle() { return nextHandle_.fetch_add(1); }
  // Under the mutex: the handle's visible form must follow its state; wakes the UI thread.
  void markChangedLocked(Handle handle);
  // Queues work for the UI thread and wakes it.
  void enqueue(Task task);
  // Makes the UI thread's wait return; safe in a signal handler.
  void wake() const;
  int wakeReadFd() const { return wakeRead_; }
  void drainWake() const;

 private:
  std::atomic<Handle> nextHandle_{1};
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
};

Layer& layer();
Toolkit& toolkit();

// Runs the change on the state of a live window or control (in windows or controls of the layer) under the mutex and
// lets its visible form follow; false when the handle is not there.
template <typename States, typename Change>
bool changeState(States Layer::*states, Handle handle, Change&& change) {
  std::lock_guard lock{layer().mutex};
  auto found = (layer().*states).find(handle);
  if (found == (layer().*states).end()) {
    return false;
  }
  change(found->second);
  layer().markChangedLocked(handle);
  return true;
}

// Calls the window's procedure on this (the UI) thread; 0 when the window is dead.
LResult callProcedure(Handle window, Message message, WParam wParam, LParam lParam);
// Paints the area of the window through the toolkit's painter, recording what the procedure draws.
void paintWindow(Handle window, const Rect& area, bool erase, Painter& target);
// Under the mutex: adds the area to what the window must repaint.
void invalidateLocked(WindowState& window, const Rect& area, bool erase);
// Hands every changed window and control to the toolkit.
void followChanges();
// Repaints the invalid areas of every window, or of one.
void repaintInvalid(std::optional<Handle> only = std::nullopt);

// What a user did, on the UI thread; called by the toolkit's own input handling and by the queued user input.
void userClicked(Handle control);
void userChose(Handle combo, int index);
void userTyped(Handle edit, std::string_view text);
void userPressedEnter(Handle edit);
void userClosed(Handle window);

// Checks for a close asked by a signal and posts it.
void postSignalledClose();

std::unique_ptr<Toolkit> makeHeadlessToolkit();
std::unique_ptr<Toolkit> makeFltkToolkit();  // null when FLTK is not built in or no display opens

}  // namespace cvl::ui::detail

#include "platform/ui/layer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace cvl::ui::detail {
namespace {

// The painter handed to the window procedure: draws through the toolkit's painter and keeps a copy of every call.
class RecordingPainter final : public Painter {
 public:
  RecordingPainter(const Rect& area, Painter& target) : Painter(area), target_(target) {}

  void fillRect(const Rect& rect, Colour colour) override {
    target_.fillRect(rect, colour);
    calls_.push_back({DrawKind::fill, rect, colour, {}});
  }
  void line(int x1, int y1, int x2, int y2, Colour colour) override {
    target_.line(x1, y1, x2, y2, colour);
    calls_.push_back({DrawKind::line, Rect{x1, y1, x2, y2}, colour, {}});
  }
  void text(int x, int y, std::string_view utf8, Colour colour) override {
    target_.text(x, y, utf8, colour);
    calls_.push_back({DrawKind::text, Rect{x, y, x, y}, colour, std::string{utf8}});
  }
  int textWidth(std::string_view utf8) const override { return target_.textWidth(utf8); }

  std::vector<DrawCall> takeCalls() { return std::move(calls_); }

 private:
  Painter& target_;
  std::vector<DrawCall> calls_;
};

Rect unite(const Rect& a, const Rect& b) {
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

// Edit fields and check boxes ask their window for their colours once, before they are first shown.
void askColoursOnce(Handle control) {
  Handle parent = noHandle;
  Message query = 0;
  {
    std::lock_guard lock{layer().mutex};
    auto found = layer().controls.find(control);
    if (found == layer().controls.end() || found->second.coloursAsked) {
      return;
    }
    found->second.coloursAsked = true;
    switch (found->second.kind) {
      case ControlKind::edit:
        query = msgCtlColorEdit;
        break;
      case ControlKind::checkBox:
        query = msgCtlColorStatic;
        break;
      default:
        return;
    }
    parent = found->second.parent;
  }
  ControlColours colours;
  callProcedure(parent, query, reinterpret_cast<WParam>(&colours), static_cast<LParam>(control));
  std::lock_guard lock{layer().mutex};
  if (auto found = layer().controls.find(control); found != layer().controls.end()) {
    found->second.colours = colours;
  }
}

}  // namespace

// The window being painted on this thread, for beginPaint.
thread_local Handle paintingWindow = noHandle;
thread_local Painter* paintingPainter = nullptr;

Layer::Layer() {
  int fds[2];
  if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
    throw std::system_error(errno, std::generic_category(), "window layer wake pipe");
  }
  wakeRead_ = fds[0];
  wakeWrite_ = fds[1];
}

void Layer::markChangedLocked(Handle handle) {
  toFollow.insert(handle);
  wake();
}

void Layer::enqueue(Task task) {
  {
    std::lock_guard lock{mutex};
    tasks.push_back(std::move(task));
  }
  wake();
}

void Layer::wake() const {
  // A full pipe already wakes the reader, so a failed write loses nothing.
  const char byte = 1;
  [[maybe_unused]] auto written = ::write(wakeWrite_, &byte, 1);
}

void Layer::drainWake() const {
  char buffer[256];
  while (::read(wakeRead_, buffer, sizeof buffer) > 0) {
  }
}

Layer& layer() {
  // Never destroyed: threads that outlive main may still post.
  static Layer* instance = new Layer;
  return *instance;
}

LResult callProcedure(Handle window, Message message, WParam wParam, LParam lParam) {
  WindowProc procedure;
  {
    std::lock_guard lock{layer().mutex};
    auto found = layer().windows.find(window);
    if (found == layer().windows.end()) {
      return 0;
    }
    procedure = found->second.procedure;
  }
  return procedure ? procedure(window, message, wParam, lParam) : defWindowProc(window, message, wParam, lParam);
}

void paintWindow(Handle window, const Rect& area, bool erase, Painter& target) {
  Colour background;
  {
    std::lock_guard lock{layer().mutex};
    auto found = layer().windows.find(window);
    if (found == layer().windows.end()) {
      return;
    }
    background = found->second.background;
  }
  if (erase) {
    target.fillRect(area, background);
  }
  RecordingPainter recorder{area, target};
  paintingWindow = window;
  paintingPainter = &recorder;
  try {
    callProcedure(window, msgPaint, 0, 0);
  } catch (...) {
    paintingWindow = noHandle;
    paintingPainter = nullptr;
    throw;
  }
  paintingWindow = noHandle;
  paintingPainter = nullptr;

  std::lock_guard lock{layer().mutex};
  auto& kept = layer().paints[window];
  kept.push_back(PaintRecord{area, erase, recorder.takeCalls()});
  while (kept.size() > keptPaintRecords) {
    kept.pop_front();
  }
}

void followChanges() {
  std::vector<std::pair<Handle, bool>> changed;  // handle, still alive
  {
    std::lock_guard lock{layer().mutex};
    for (Handle handle : layer().toFollow) {
      changed.emplace_back(handle, layer().windows.contains(handle) || layer().controls.contains(handle));
    }
    layer().toFollow.clear();
  }
  // Windows before their controls: handles grow with creation.
  std::sort(changed.begin(), changed.end());
  for (auto [handle, alive] : changed) {
    if (alive) {
      askColoursOnce(handle);
      toolkit().follow(handle);
    } else {
      toolkit().forget(handle);
    }
  }
}

void repaintInvalid(std::optional<Handle> only) {
  struct Pending {
    Handle window;
    Rect area;
    bool erase;
  };
  std::vector<Pending> pending;
  {
    std::lock_guard lock{layer().mutex};
    for (auto& [handle, window] : layer().windows) {
      if (window.invalid && window.shown && (!only || *only == handle)) {
        pending.push_back({handle, *window.invalid, window.erase});
        window.invalid.reset();
        window.erase = false;
      }
    }
  }
  for (const auto& each : pending) {
    toolkit().repaint(each.window, each.area, each.erase);
  }
}

void invalidateLocked(WindowState& window, const Rect& area, bool erase) {
  window.invalid = window.invalid ? unite(*window.invalid, area) : area;
  window.erase = window.erase || erase;
}

}  // namespace cvl::ui::detail

namespace cvl::ui {

Painter& beginPaint(Handle window) {
  static detail::NullPainter nothing{Rect{}};
  if (window != detail::paintingWindow || detail::paintingPainter == nullptr) {
    return nothing;
  }
  return *detail::paintingPainter;
}

std::vector<PaintRecord> paintRecords(Handle window) {
  std::lock_guard lock{detail::layer().mutex};
  auto found = detail::layer().paints.find(window);
  if (found == detail::layer().paints.end()) {
    return {};
  }
  return {found->second.begin(), found->second.end()};
}

}  // namespace cvl::ui

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/ui/colour.h"
#include "platform/ui/controls.h"

// The messages a window procedure receives. The numbers are fixed: programs keep their own private messages from
// msgApp on (msgApp + 1 = 0x8001, msgApp + 2 = 0x8002, ...).
namespace cvl::ui {

using Message = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// Every message of a window reaches its procedure on the UI thread (the thread that runs the message loop).
using WindowProc = std::function<LResult(Handle window, Message message, WParam wParam, LParam lParam)>;

// The window exists, its controls do not yet. lParam: const CreateParams*. A result of -1 refuses the window.
inline constexpr Message msgCreate = 0x0001;
// The window is going; its controls still exist.
inline constexpr Message msgDestroy = 0x0002;
// Part of the window needs drawing: the procedure draws through beginPaint (painter.h).
inline constexpr Message msgPaint = 0x000F;
// The user asked to close the window (close box, or a signal wired with closeOnSignals). wParam: 0 for the close box,
// closedBySignal for a signal. defWindowProc destroys it.
inline constexpr Message msgClose = 0x0010;
inline constexpr WParam closedBySignal = 1;
// A control reports a user action. wParam: commandWParam(control id, notification); lParam: the control's handle.
inline constexpr Message msgCommand = 0x0111;
// Colour queries, sent once for each edit field (Edit) and check box (Static) before it is first shown.
// wParam: ControlColours* to fill in; lParam: the control's handle.
inline constexpr Message msgCtlColorEdit = 0x0133;
inline constexpr Message msgCtlColorStatic = 0x0138;
// The first number free for the program's own messages.
inline constexpr Message msgApp = 0x8000;

// Notifications carried in the high word of msgCommand's wParam.
inline constexpr std::uint16_t notifyClicked = 0;           // a push button or check box was clicked
inline constexpr std::uint16_t notifySelectionChanged = 1;  // the user chose an item of a combo box

constexpr WParam commandWParam(std::uint16_t controlId, std::uint16_t notification) {
  return static_cast<WParam>(controlId) | (static_cast<WParam>(notification) << 16);
}
constexpr std::uint16_t loWord(WParam value) {
  return static_cast<std::uint16_t>(value & 0xFFFF);
}
constexpr std::uint16_t hiWord(WParam value) {
  return static_cast<std::uint16_t>((value >> 16) & 0xFFFF);
}

struct CreateParams {
  Rect bounds;
  std::string_view title;
};

// Filled in by the window procedure on a colour query; what stays empty keeps the toolkit's own colour.
struct ControlColours {
  std::optional<Colour> textBackground;
  std::optional<Colour> background;
};

}  // namespace cvl::ui

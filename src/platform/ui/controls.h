#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The window layer's controls, addressed by handle. Every call may come from any thread: the layer keeps the state of
// each control itself (so reads answer at once) and the visible window follows on the UI thread. Texts are UTF-8.
namespace cvl::ui {

// A window or control; noHandle is none. Handles are never reused within a process.
using Handle = std::uintptr_t;
inline constexpr Handle noHandle = 0;

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  friend bool operator==(const Rect&, const Rect&) = default;
};

enum class ControlKind {
  pushButton,
  checkBox,  // not automatic: a click only notifies the window, the program sets the check itself
  edit,      // one line of text; Enter runs the field's hook instead of reaching the field
  comboBox,  // a drop-down list to choose from, no typing
};

// Runs on the UI thread when the user presses Enter in an edit field; the field's text is already current.
using EnterHook = std::function<void(Handle edit)>;

struct ControlSpec {
  ControlKind kind = ControlKind::pushButton;
  std::uint16_t id = 0;
  Rect bounds;       // in the parent's client area
  std::string text;  // caption of a push button, first text of an edit field
  bool enabled = true;
  int listHeight = 0;  // combo boxes: height of the open list
  EnterHook onEnter;   // edit fields
};

// Creates a child control of a window; noHandle when the parent is not a live window.
Handle createControl(Handle parent, ControlSpec spec);

// True while the handle names a live window or control.
bool isWindow(Handle handle);

// The child control of a window by its id; noHandle when there is none.
Handle controlById(Handle parent, std::uint16_t controlId);

void setText(Handle control, std::string_view text);
std::string text(Handle control);

void enable(Handle control, bool enabled);
bool isEnabled(Handle control);

// Check boxes (never toggled by the layer itself: the program decides on a click).
void setChecked(Handle checkBox, bool checked);
bool isChecked(Handle checkBox);

// Combo boxes: a drop-down list of texts with at most one selected item. A selection made through these calls is
// programmatic and does not notify the window; only a user's choice does.
void comboReset(Handle combo);
void comboAdd(Handle combo, std::string_view item);
// Selects the item at the index; an index outside the list clears the selection.
void comboSelectIndex(Handle combo, int index);
// Selects the first item that begins with the text, compared without regard to ASCII case; returns its index, or -1
// (the selection then stays as it was).
int comboSelectPrefix(Handle combo, std::string_view prefix);
// The selected index, -1 when none.
int comboSelectedIndex(Handle combo);
std::vector<std::string> comboItems(Handle combo);

// Asks the UI thread to repaint the rectangle of the window.
void invalidate(Handle window, const Rect& area, bool erase = true);

}  // namespace cvl::ui

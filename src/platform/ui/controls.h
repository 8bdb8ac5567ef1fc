#pragma once

#include <cstdint>
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
};

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
// Selects the first item that begins with the text, compared without regard to ASCII case; returns its index or -1.
int comboSelectPrefix(Handle combo, std::string_view prefix);
// The selected index, -1 when none.
int comboSelectedIndex(Handle combo);
std::vector<std::string> comboItems(Handle combo);

// Asks the UI thread to repaint the rectangle of the window.
void invalidate(Handle window, const Rect& area, bool erase = true);

}  // namespace cvl::ui

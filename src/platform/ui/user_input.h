#pragma once

#include <string_view>

#include "platform/ui/controls.h"

// What a user does with the window, as the toolkit reports it. Each call queues the action for the UI thread, where it
// runs exactly as the real input would: tests drive the headless window with these.
namespace cvl::ui::user {

// A push button or check box (a check box keeps its check: the program decides).
void click(Handle control);
// Chooses an item of a combo box's list; the window is notified even when the item was already selected.
void choose(Handle combo, int index);
// Replaces the text of an edit field, as typing would.
void type(Handle edit, std::string_view text);
void pressEnter(Handle edit);
// The window's close box.
void closeBox(Handle window);

}  // namespace cvl::ui::user

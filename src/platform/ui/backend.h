#pragma once

#include <string_view>

// Which toolkit draws the windows: FLTK when a display can be opened, else the headless backend that keeps the same
// state without drawing. CORVALEN_UI=headless or CORVALEN_UI=fltk chooses one; fltk still falls back to headless when
// no display opens. The choice is made on first use and holds for the process.
namespace cvl::ui {

enum class BackendKind { headless, fltk };

BackendKind activeBackend();

// Writes the line to standard output when no window is visible (the headless backend), so that a terminal user still
// sees what the window would show; does nothing when a window shows it.
void mirrorToConsole(std::string_view line);

}  // namespace cvl::ui

#pragma once

#include <string>
#include <string_view>

// What a user sees and does with the top-level windows on an X display (a virtual one of a test, where no window
// manager runs). Without the real window backend built in, no window is ever shown.
namespace cvl::test {

// How many windows with this title are shown on the display (":N").
int windowsShown(const std::string& display, std::string_view title);

// Closes every shown window with this title as a window manager's close button does; false when none is shown.
bool closeWindows(const std::string& display, std::string_view title);

}  // namespace cvl::test

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cvl::ui {

// A warning box titled "CRVL" with an OK button and no owner window, so the window keeps working while it is shown.
// A caller off the UI thread waits until the user has answered it, as with a modal box, or until the waits are
// released; on the UI thread the call returns at once, and so does every call while no message loop runs. Without a
// display the text goes to standard error and counts as answered.
void showMessageBox(std::string_view text);

// For a program that is closing: every caller still waiting for an answer goes on, and a box shown from now on until
// the next message loop starts holds nobody. The boxes stay shown.
void releaseMessageBoxWaits();

// Every text shown so far, oldest first.
std::vector<std::string> shownMessageBoxes();

}  // namespace cvl::ui

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cvl::ui {

// A warning box titled "CRVL" with an OK button and no owner window. The caller does not wait for OK, so any thread
// may call it and the windows keep working while it is shown. Without a display the text goes to standard error.
void showMessageBox(std::string_view text);

// Every text shown so far, oldest first.
std::vector<std::string> shownMessageBoxes();

}  // namespace cvl::ui

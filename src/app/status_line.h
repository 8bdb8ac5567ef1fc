#pragma once

#include <string>
#include <string_view>

// The one line at the bottom of the main window through which every thread reports to the user: a status message
// that clears itself, or an error line that stays.
namespace cvl {

void gf_setStatusLine(std::string_view text, bool alsoLog);
void gf_clearStatusLine();
void gf_setErrorLine(std::string_view text);

// Copies of what the line shows, for the painter and for tests.
std::string gf_statusText();
std::string gf_errorText();

}  // namespace cvl

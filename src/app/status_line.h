#pragma once

#include <string>
#include <string_view>

// The one line at the bottom of the main window through which every thread reports to the user: a status message
// that clears itself after 25 seconds, or an error line that stays until the code that ends the error empties it.
// While an error line is shown, status messages are dropped. The texts live in mainWindow, under its mutex. Either
// line shows its text on one line: a control character or line break in it is shown as a blank.
namespace cvl {

// Shows a status message (empty: none) and logs it when asked, unless a stop is under way. A message whose painted
// text would reach the window's right edge is cut at its end ("..."); Log.txt and the terminal have it whole, with its
// control characters escaped. Any thread.
void gf_setStatusLine(std::string_view text, bool alsoLog);
void gf_clearStatusLine();
// Shows an error line in place of any status message and logs it as "Error {}", unless a stop is under way. A text
// too wide for the window is cut at its end ("..."), as the status line is; Log.txt and the terminal have it whole.
void gf_setErrorLine(std::string_view text);
// The same for the error that ended a run cycle, logged also during a stop: the user may have closed the window while
// the error's message box was up, and the log is to say what the error was.
void gf_setCycleErrorLine(std::string_view text);

// Keeps the notice on the status line until gf_releaseStatusNotices: later status messages are shown in front of it,
// where the window's width always shows them, and clearing the line leaves it standing. One notice stands for each
// subject: a later one replaces it. Not logged here. Dropped, as a status message is, while an error line is shown.
// False when the same notice already stands: the caller has reported it before. Any thread.
bool gf_holdStatusNotice(std::string_view subject, std::string_view notice);
// The held notices stay shown, with a status message's life, until the next status message replaces them.
void gf_releaseStatusNotices();

// Counts one beat of the per-second job and clears a status message that has stood for 25 beats.
void gf_countStatusSecond();

// Paint the band; UI thread, from the window's paint while mainWindow.mutex is held. The painter measures the text
// in the window's font, so the cut and the count of the held notices follow the width the text takes there.
void gf_paintStatusLine();
void lf_paintErrorLine();

// Copies of the line's text whole, on one line: the status message with every held notice after it, and the error.
// The window shows as much of it as its width holds.
std::string gf_statusText();
std::string gf_errorText();

}  // namespace cvl

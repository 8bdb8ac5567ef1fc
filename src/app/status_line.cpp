#include "app/status_line.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/painting.h"
#include "foundation/log.h"
#include "foundation/text_encoding.h"
#include "platform/ui/backend.h"

namespace cvl {
namespace {

constexpr std::uint32_t statusLifeSeconds = 25;
constexpr int lineX = 3;
constexpr int lineY = 455;
constexpr std::string_view noticeSeparator = " | ";
constexpr std::string_view cutMark = "...";

// About as many characters as the window's width shows: its font takes 6 to 7 pixels for a character of these texts,
// and the line starts 3 pixels in from the left edge of a window 880 pixels wide. Lengths are reckoned in bytes, which
// a character beyond ASCII only overstates.
constexpr std::size_t lineCharacters = 130;

// Without a visible window a terminal user still follows the run: each new line is written once to standard output.
void lf_mirrorLocked(std::string_view line) {
  if (!line.empty() && mainWindow.hwnd != ui::noHandle) {
    ui::mirrorToConsole(line);
  }
}

// The count of the held notices left out: "and 2 more failures, see Log.txt" after those shown, "3 failures, see
// Log.txt" when none is.
std::string lf_leftOutText(std::size_t leftOut, bool anyShown) {
  const std::string_view plural = leftOut == 1 ? "" : "s";
  if (anyShown) {
    return fmt::format("and {} more failure{}, see Log.txt", leftOut, plural);
  }
  return fmt::format("{} failure{}, see Log.txt", leftOut, plural);
}

// The message, the first `shown` held notices, and the count of the others.
std::string lf_lineShowing(std::string_view message, std::size_t shown) {
  const auto& held = mainWindow.heldNotices;
  std::vector<std::string_view> parts;
  if (!message.empty()) {
    parts.push_back(message);
  }
  for (std::size_t notice = 0; notice < shown; ++notice) {
    parts.push_back(held[notice].text);
  }
  const std::string leftOut = lf_leftOutText(held.size() - shown, shown > 0);
  if (shown < held.size()) {
    parts.push_back(leftOut);
  }
  return fmt::format("{}", fmt::join(parts, noticeSeparator));
}

// The start of the text in at most `length` bytes, never half a UTF-8 character.
std::string_view lf_startOf(std::string_view text, std::size_t length) {
  if (length >= text.size()) {
    return text;
  }
  while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0U) == 0x80U) {
    --length;
  }
  return text.substr(0, length);
}

// The text in at most `room` bytes: a longer one gives way at its end, which "..." marks.
std::string lf_cutToRoom(std::string_view text, std::size_t room) {
  if (text.size() <= room) {
    return std::string{text};
  }
  return fmt::format("{}{}", lf_startOf(text, room - cutMark.size()), cutMark);
}

// What the line shows for the message: the message first, so that what the program does now is in sight, then the
// held notices while they fit the window's width, and the count of those that would run past its right edge, which
// Log.txt names. The count stays in sight too: a message too long for the window gives way at its end, before the
// count when notices are held, at the window's edge when none is.
std::string lf_withHeldNotices(std::string_view message) {
  const std::size_t held = mainWindow.heldNotices.size();
  std::size_t shown = 0;
  while (shown < held && lf_lineShowing(message, shown + 1).size() <= lineCharacters) {
    ++shown;
  }
  std::string line = lf_lineShowing(message, shown);
  if (line.size() <= lineCharacters) {
    return line;
  }
  const std::string count = held == 0 ? "" : fmt::format("{}{}", noticeSeparator, lf_leftOutText(held, false));
  return fmt::format("{}{}", lf_cutToRoom(message, lineCharacters - count.size()), count);
}

void lf_showLocked() {
  mainWindow.statusText = gf_onOneLine(lf_withHeldNotices(mainWindow.statusMessage));
  mainWindow.statusSetAt = mainWindow.statusText.empty() ? 0U : std::max(mainWindow.statusSeconds.load(), 1U);
  gf_invalidateBand(rcStatusLine);
}

void lf_setStatusLocked(std::string_view text, bool alsoLog) {
  if (!mainWindow.errorText.empty()) {
    return;
  }
  if (text != mainWindow.statusMessage) {
    lf_mirrorLocked(text);
  }
  mainWindow.statusMessage = text;
  lf_showLocked();
  if (alsoLog && !text.empty() && !gf_stopping()) {
    gf_log(text);
  }
}

// What the error line shows: the error on one line, cut at the window's edge as the status line is.
std::string lf_errorLineLocked() {
  return lf_cutToRoom(gf_onOneLine(mainWindow.errorText), lineCharacters);
}

// Log.txt and the terminal have the error whole, so one that differs from the last only past the window's edge is
// still new to the terminal.
void lf_setErrorLine(std::string_view text, bool alsoLog) {
  const std::lock_guard lock{mainWindow.mutex};
  mainWindow.statusText.clear();
  mainWindow.statusMessage.clear();
  mainWindow.statusSetAt = 0;
  if (!text.empty() && text != mainWindow.errorText) {
    lf_mirrorLocked(fmt::format("Error {}", text));
  }
  mainWindow.errorText = text;
  if (alsoLog) {
    gf_log(fmt::format("Error {}", text));
  }
  gf_invalidateBand(rcStatusLine);
}

}  // namespace

void gf_setStatusLine(std::string_view text, bool alsoLog) {
  const std::lock_guard lock{mainWindow.mutex};
  lf_setStatusLocked(text, alsoLog);
}

void gf_clearStatusLine() {
  gf_setStatusLine({}, true);
}

void gf_setErrorLine(std::string_view text) {
  lf_setErrorLine(text, !gf_stopping());
}

void gf_setCycleErrorLine(std::string_view text) {
  lf_setErrorLine(text, true);
}

bool gf_holdStatusNotice(std::string_view subject, std::string_view notice) {
  const std::lock_guard lock{mainWindow.mutex};
  auto& held = mainWindow.heldNotices;
  const auto standing = std::ranges::find(held, subject, &HeldNotice::subject);
  // The same notice met again (another check in the same process) stands once.
  if (standing != held.end() && standing->text == notice) {
    return false;
  }
  if (mainWindow.errorText.empty() && !notice.empty()) {
    // What is learnt of a file later (it is damaged) says more than what was learnt before (its update failed).
    if (standing != held.end()) {
      standing->text = notice;
    } else {
      held.push_back({std::string{subject}, std::string{notice}});
    }
    lf_mirrorLocked(notice);
    lf_showLocked();
  }
  return true;
}

void gf_releaseStatusNotices() {
  const std::lock_guard lock{mainWindow.mutex};
  if (mainWindow.heldNotices.empty()) {
    return;
  }
  mainWindow.heldNotices.clear();
  if (!mainWindow.statusText.empty()) {
    mainWindow.statusSetAt = std::max(mainWindow.statusSeconds.load(), 1U);
  }
}

void gf_countStatusSecond() {
  const std::lock_guard lock{mainWindow.mutex};
  const std::uint32_t now = ++mainWindow.statusSeconds;
  const std::uint32_t setAt = mainWindow.statusSetAt;
  if (setAt >= 1 && now - setAt >= statusLifeSeconds) {
    lf_setStatusLocked({}, true);
  }
}

void gf_paintStatusLine() {
  mainWindow.hdc->fillRect(rcStatusLine, mainWindow.greenBrush);
  if (!mainWindow.statusText.empty()) {
    lf_drawText(mainWindow.statusText, lineX, lineY, yellow);
  }
}

void lf_paintErrorLine() {
  mainWindow.hdc->fillRect(rcStatusLine, mainWindow.redBrush);
  lf_drawText(lf_errorLineLocked(), lineX, lineY, yellow);
}

std::string gf_statusText() {
  const std::lock_guard lock{mainWindow.mutex};
  return mainWindow.statusText;
}

std::string gf_errorText() {
  const std::lock_guard lock{mainWindow.mutex};
  return lf_errorLineLocked();
}

}  // namespace cvl

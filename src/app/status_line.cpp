#include "app/status_line.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <iterator>
#include <limits>
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
// The line keeps as much plain band before the window's right edge as it leaves at its left.
constexpr int lineRoom = rcStatusLine.right - 2 * lineX;
constexpr std::string_view noticeSeparator = " | ";
constexpr std::string_view cutMark = "...";

// A status or error text as Log.txt and the terminal have it: whole, its control characters and stray bytes escaped as
// in the log's other outside texts.
std::string lf_loggable(std::string_view text) {
  return gf_excerpt(text, std::numeric_limits<std::size_t>::max());
}

// Without a visible window a terminal user still follows the run: each new line is written once to standard output.
void lf_mirrorLocked(std::string_view line) {
  if (!line.empty() && mainWindow.hwnd != ui::noHandle) {
    ui::mirrorToConsole(lf_loggable(line));
  }
}

// A text as one line of the window paints it: valid UTF-8, without line breaks or other control characters.
std::string lf_paintable(std::string_view text) {
  return gf_onOneLine(gf_validUtf8(text));
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

// The message, the first `shown` of the notices, and the count of the others.
std::string lf_lineShowing(std::string_view message, const std::vector<std::string>& notices, std::size_t shown) {
  std::vector<std::string_view> parts;
  if (!message.empty()) {
    parts.push_back(message);
  }
  parts.insert(parts.end(), notices.begin(), notices.begin() + static_cast<std::ptrdiff_t>(shown));
  const std::string leftOut = lf_leftOutText(notices.size() - shown, shown > 0);
  if (shown < notices.size()) {
    parts.push_back(leftOut);
  }
  return fmt::format("{}", fmt::join(parts, noticeSeparator));
}

std::vector<std::string> lf_heldTextsLocked() {
  std::vector<std::string> texts;
  std::ranges::transform(mainWindow.heldNotices, std::back_inserter(texts), &HeldNotice::text);
  return texts;
}

// Where each of the first `most` characters of a valid UTF-8 text ends.
std::vector<std::size_t> lf_characterEnds(std::string_view text, std::size_t most) {
  std::vector<std::size_t> ends;
  for (std::size_t end = 0; end < text.size() && ends.size() < most;) {
    end += std::max<std::size_t>(gf_utf8SequenceLength(text.substr(end), false), 1);
    ends.push_back(end);
  }
  return ends;
}

// The text as painted in `room` pixels: a wider one gives way at its end, after its last whole character that leaves
// room for "...".
std::string lf_cutToRoom(const ui::Painter& painter, std::string_view text, int room) {
  // Each character but a rare one of no width takes a pixel at least, so the search need look no further than the
  // room's count of them: a text with more is cut.
  const std::vector<std::size_t> ends = lf_characterEnds(text, static_cast<std::size_t>(std::max(room, 0)) + 1);
  const bool moreThanRoom = !ends.empty() && ends.back() < text.size();
  if (!moreThanRoom && painter.textWidth(text) <= room) {
    return std::string{text};
  }
  const auto withMark = [&](std::size_t length) { return fmt::format("{}{}", text.substr(0, length), cutMark); };
  const auto firstTooWide = std::ranges::partition_point(
      ends, [&](std::size_t length) { return painter.textWidth(withMark(length)) <= room; });
  return withMark(firstTooWide == ends.begin() ? 0 : *std::prev(firstTooWide));
}

// What the line shows for the message in the window's width: the message first, so that what the program does now is
// in sight, then as many of the held notices as fit, and the count of those that would run past its right edge, which
// Log.txt names. All of them may fit where fewer and the count do not. The count stays in sight too: a message too wide
// for the window gives way at its end, before the count when notices are held, at the window's edge when none is.
std::string lf_fittedStatusLineLocked(const ui::Painter& painter) {
  const std::string message = lf_paintable(mainWindow.statusMessage);
  std::vector<std::string> notices = lf_heldTextsLocked();
  for (std::string& notice : notices) {
    notice = lf_paintable(notice);
  }
  const auto fits = [&](const std::string& line) { return painter.textWidth(line) <= lineRoom; };
  if (std::string all = lf_lineShowing(message, notices, notices.size()); fits(all)) {
    return all;
  }
  std::size_t shown = 0;
  while (shown + 1 < notices.size() && fits(lf_lineShowing(message, notices, shown + 1))) {
    ++shown;
  }
  if (std::string line = lf_lineShowing(message, notices, shown); fits(line)) {
    return line;
  }
  const std::string count =
      notices.empty() ? "" : fmt::format("{}{}", noticeSeparator, lf_leftOutText(notices.size(), false));
  return fmt::format("{}{}", lf_cutToRoom(painter, message, lineRoom - painter.textWidth(count)), count);
}

// Released notices stand only until the line next changes.
void lf_dropReleasedNoticesLocked() {
  std::erase_if(mainWindow.heldNotices, [](const HeldNotice& notice) { return notice.released; });
}

// The status line's text whole, with every held notice.
void lf_showLocked() {
  const std::vector<std::string> notices = lf_heldTextsLocked();
  mainWindow.statusText = gf_onOneLine(lf_lineShowing(mainWindow.statusMessage, notices, notices.size()));
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
  lf_dropReleasedNoticesLocked();
  mainWindow.statusMessage = text;
  lf_showLocked();
  if (alsoLog && !text.empty() && !gf_stopping()) {
    gf_log(lf_loggable(text));
  }
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
    gf_log(lf_loggable(fmt::format("Error {}", text)));
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
  lf_dropReleasedNoticesLocked();
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
  auto& held = mainWindow.heldNotices;
  if (std::ranges::all_of(held, &HeldNotice::released)) {
    return;
  }
  for (HeldNotice& notice : held) {
    notice.released = true;
  }
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
    lf_drawText(lf_fittedStatusLineLocked(*mainWindow.hdc), lineX, lineY, yellow);
  }
}

void lf_paintErrorLine() {
  mainWindow.hdc->fillRect(rcStatusLine, mainWindow.redBrush);
  lf_drawText(lf_cutToRoom(*mainWindow.hdc, lf_paintable(mainWindow.errorText), lineRoom), lineX, lineY, yellow);
}

std::string gf_statusText() {
  const std::lock_guard lock{mainWindow.mutex};
  return mainWindow.statusText;
}

std::string gf_errorText() {
  const std::lock_guard lock{mainWindow.mutex};
  return gf_onOneLine(mainWindow.errorText);
}

}  // namespace cvl

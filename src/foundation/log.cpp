#include "foundation/log.h"

#include <fmt/format.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

#include "app/exit_reasons.h"
#include "foundation/constants.h"
#include "foundation/files.h"
#include "foundation/text_encoding.h"
#include "foundation/timekeeping.h"
#include "foundation/version.h"

namespace cvl {
namespace {

constexpr std::string_view logFileName = "Log.txt";
constexpr std::string_view flagPrefix = "==> ";
constexpr std::string_view indentPrefix = "          ";

// Every write and flush of the stream happens under this lock. It is not recursive: no writer may log while holding it.
std::mutex logMutex;

// Built on first use and never destroyed, so that a thread still logging while the process ends finds it alive; the
// exit handler below writes out what is left.
std::ofstream& logStream() {
  static auto* const stream = new std::ofstream;
  return *stream;
}

// The code point of a UTF-8 sequence of two or three bytes.
char32_t lf_codePoint(std::string_view sequence) {
  const auto byte = [&sequence](std::size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(sequence[i]));
  };
  if (sequence.size() == 2) {
    return (byte(0) & 0x1FU) << 6U | (byte(1) & 0x3FU);
  }
  return (byte(0) & 0x0FU) << 12U | (byte(1) & 0x3FU) << 6U | (byte(2) & 0x3FU);
}

// Terminals and editors take these for control characters or line breaks.
bool lf_escapedBeyondAscii(std::string_view sequence) {
  if (sequence.size() > 3) {
    return false;
  }
  const char32_t codePoint = lf_codePoint(sequence);
  return (codePoint >= 0x80 && codePoint <= 0x9F) || codePoint == 0x2028 || codePoint == 0x2029;
}

// The text's first character as a log line shows it, and the count of bytes it stands for: "\n", "\r" and "\t" for
// those bytes, "\x" and two hexadecimal digits for any other control byte and for a byte that begins no UTF-8
// character, "\u" and four for a control character beyond ASCII and for the line and paragraph separators; any other
// character as it is. So Log.txt stays UTF-8, and outside text can begin no line of its own.
std::pair<std::string, std::size_t> lf_shownFirst(std::string_view text) {
  const std::size_t length = gf_utf8SequenceLength(text, false);
  if (length > 1) {
    const std::string_view sequence = text.substr(0, length);
    if (lf_escapedBeyondAscii(sequence)) {
      return {fmt::format("\\u{:04x}", static_cast<std::uint32_t>(lf_codePoint(sequence))), length};
    }
    return {std::string{sequence}, length};
  }
  const auto first = static_cast<unsigned char>(text.front());
  if (length == 1 && first >= 0x20 && first != 0x7F) {
    return {std::string(1, text.front()), 1};
  }
  switch (text.front()) {
    case '\n':
      return {"\\n", 1};
    case '\r':
      return {"\\r", 1};
    case '\t':
      return {"\\t", 1};
    default:
      return {fmt::format("\\x{:02x}", first), 1};
  }
}

std::string lf_escaped(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto [piece, bytes] = lf_shownFirst(text.substr(i));
    shown += piece;
    i += bytes;
  }
  return shown;
}

void flushAtExit() {
  gf_flushLog();
}

void writeLine(std::string_view prefix, std::string_view text, bool flush) {
  const std::lock_guard lock(logMutex);
  auto& stream = logStream();
  if (!stream.is_open()) {
    return;
  }
  stream.write(prefix.data(), static_cast<std::streamsize>(prefix.size()));
  stream.write(text.data(), static_cast<std::streamsize>(text.size()));
  stream.put('\n');
  if (flush) {
    stream.flush();
  }
}

}  // namespace

void gf_openLog() {
  const std::filesystem::path path{logFileName};
  gf_closeLog();
  // The previous start's log is emptied only once it is safe in Log0.txt; where it cannot be kept, this start's lines
  // follow it.
  const bool previousKept = gf_keepUpto3GenerationsBeforeEmptying(path);
  {
    const std::lock_guard lock(logMutex);
    auto& stream = logStream();
    stream.clear();
    stream.open(path, std::ios::out | (previousKept ? std::ios::trunc : std::ios::app) | std::ios::binary);
    if (!stream.is_open()) {
      throw std::runtime_error(fmt::format("Failed to write file {}", logFileName));
    }
  }
  static std::once_flag exitHandler;
  std::call_once(exitHandler, [] { std::atexit(flushAtExit); });
  gf_log(fmt::format("{} (utc) {} version {} for {}", gf_timeText(gf_systemNow()), programName,
                     programVersion.toString(), "MSFS 2020/2024"));
}

void gf_closeLog() {
  const std::lock_guard lock(logMutex);
  logStream().close();
}

void gf_log(std::string_view text) {
  writeLine({}, text, false);
}

void gf_logFlagged(std::string_view text) {
  writeLine(flagPrefix, text, true);
}

void gf_logIndented(std::string_view text) {
  writeLine(indentPrefix, text, false);
}

void gf_logAndFlush(std::string_view text) {
  writeLine({}, text, true);
}

void gf_logUnlessClosing(std::string_view text) {
  if (!gf_stopping()) {
    gf_log(text);
  }
}

void gf_logFlaggedUnlessClosing(std::string_view text) {
  if (!gf_stopping()) {
    gf_logFlagged(text);
  }
}

std::string gf_excerpt(std::string_view text, std::size_t length) {
  std::size_t cut = 0;
  std::size_t shownLength = 0;
  while (cut < text.size()) {
    const auto [piece, bytes] = lf_shownFirst(text.substr(cut));
    if (shownLength + piece.size() > length) {
      break;
    }
    shownLength += piece.size();
    cut += bytes;
  }
  if (cut == text.size()) {
    return lf_escaped(text);
  }
  return fmt::format("{}... ({} bytes)", lf_escaped(text.substr(0, cut)), text.size());
}

void gf_flushLog() {
  const std::lock_guard lock(logMutex);
  auto& stream = logStream();
  if (stream.is_open()) {
    stream.flush();
  }
}

}  // namespace cvl

#include "foundation/log.h"

#include <fmt/format.h>

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

// The text's first character as a log line shows it, and the count of bytes it stands for: "\n", "\r" and "\t" for
// those bytes, "\x" and two hexadecimal digits for any other control byte, "\u" and four for a control character
// beyond ASCII; any other byte as it is.
std::pair<std::string, std::size_t> lf_shownFirst(std::string_view text) {
  switch (gf_controlCharLength(text)) {
    case 0:
      return {std::string(1, text.front()), 1};
    case 2: {
      const unsigned codePoint =
          (static_cast<unsigned char>(text[0]) & 0x1FU) << 6U | (static_cast<unsigned char>(text[1]) & 0x3FU);
      return {fmt::format("\\u{:04x}", codePoint), 2};
    }
    default:
      break;
  }
  switch (text.front()) {
    case '\n':
      return {"\\n", 1};
    case '\r':
      return {"\\r", 1};
    case '\t':
      return {"\\t", 1};
    default:
      return {fmt::format("\\x{:02x}", static_cast<unsigned char>(text.front())), 1};
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
  gf_saveUpto3GenerationsOf(path);
  {
    const std::lock_guard lock(logMutex);
    auto& stream = logStream();
    stream.clear();
    stream.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
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
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0U) == 0x80U) {
    --cut;  // a continuation byte: the character began before the cut
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

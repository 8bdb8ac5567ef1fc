#include "foundation/log.h"

#include <fmt/format.h>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <stdexcept>

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

// "\n", "\r" and "\t" for their bytes, "\x" and two hexadecimal digits for any other control byte.
std::size_t lf_escapedLength(char c) {
  if (!gf_isControlByte(c)) {
    return 1;
  }
  return c == '\n' || c == '\r' || c == '\t' ? 2 : 4;
}

std::string lf_escaped(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (gf_isControlByte(c)) {
      shown += fmt::format("\\x{:02x}", static_cast<unsigned char>(c));
    } else {
      shown += c;
    }
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
  while (cut < text.size() && shownLength + lf_escapedLength(text[cut]) <= length) {
    shownLength += lf_escapedLength(text[cut]);
    ++cut;
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

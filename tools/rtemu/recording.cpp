#include "rtemu/recording.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace cvl::rtemu {
namespace {

std::string_view lf_nextWord(std::string_view& rest) {
  const std::size_t end = std::min(rest.find(' '), rest.size());
  const std::string_view word = rest.substr(0, end);
  rest.remove_prefix(std::min(end + 1, rest.size()));
  return word;
}

double lf_offset(std::string_view word) {
  double offset = 0.0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), offset);
  if (error != std::errc{} || end != word.data() + word.size() || !std::isfinite(offset) || offset < 0.0) {
    throw std::runtime_error(fmt::format("offset '{}' is not a number of seconds", word));
  }
  return offset;
}

DatagramKind lf_kind(std::string_view word) {
  if (word == "traffic") {
    return DatagramKind::traffic;
  }
  if (word == "weather") {
    return DatagramKind::weather;
  }
  throw std::runtime_error(fmt::format("kind '{}' is neither traffic nor weather", word));
}

RecordedDatagram lf_parseLine(std::string_view line) {
  RecordedDatagram datagram;
  datagram.offsetSeconds = lf_offset(lf_nextWord(line));
  datagram.kind = lf_kind(lf_nextWord(line));
  datagram.payload = line;
  return datagram;
}

}  // namespace

std::vector<RecordedDatagram> parseRecording(std::string_view text, std::string_view name) {
  std::vector<RecordedDatagram> recording;
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++lineNumber;
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    if (line.empty() || line.starts_with('#')) {
      continue;
    }
    try {
      RecordedDatagram datagram = lf_parseLine(line);
      if (!recording.empty() && datagram.offsetSeconds < recording.back().offsetSeconds) {
        throw std::runtime_error("the offset goes back");
      }
      recording.push_back(std::move(datagram));
    } catch (const std::runtime_error& error) {
      throw std::runtime_error(fmt::format("{}:{}: {}", name, lineNumber, error.what()));
    }
  }
  return recording;
}

std::vector<RecordedDatagram> readRecording(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw std::runtime_error(fmt::format("cannot read the recording {}", path.string()));
  }
  std::ostringstream text;
  text << file.rdbuf();
  return parseRecording(text.str(), path.string());
}

}  // namespace cvl::rtemu

#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A recording of the traffic service's datagrams, one a line:
//   <offset in seconds from the start> <traffic|weather> <the datagram, to the end of the line>
// Blank lines and lines starting with '#' are skipped. Offsets never go back.
namespace cvl::rtemu {

enum class DatagramKind { traffic, weather };

struct RecordedDatagram {
  double offsetSeconds = 0.0;
  DatagramKind kind = DatagramKind::traffic;
  std::string payload;
};

// Throws std::runtime_error "<name>:<line>: <reason>" at the first line it cannot read: a recording with a broken
// line is a broken test set-up, not something to play around.
std::vector<RecordedDatagram> parseRecording(std::string_view text, std::string_view name);
std::vector<RecordedDatagram> readRecording(const std::filesystem::path& path);

}  // namespace cvl::rtemu

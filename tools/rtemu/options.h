#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "rtemu/service_lines.h"
#include "rtemu/udp_sender.h"

// rtemu's command line.
namespace cvl::rtemu {

struct Options {
  // Corvalen's TCP port; none: no link, the replay starts at once.
  std::optional<std::uint16_t> port;
  std::string tcpHost = "127.0.0.1";
  // The recording to play; none: only the link.
  std::optional<std::filesystem::path> replay;
  Edition edition = Edition::standard;
  std::string versionText = "9.1";
  // Sent instead of the JSON answer to the version request; empty: no answer at all.
  std::optional<std::string> reply;
  // The received lines go here; none: standard output.
  std::optional<std::filesystem::path> log;
  std::string udpHost = "127.0.0.1";
  std::uint16_t trafficPort = rtemu::trafficPort;
  std::uint16_t weatherPort = rtemu::weatherPort;
  double speed = 1.0;
  bool loop = false;
  // Start the replay at once instead of at the first connection of the link.
  bool startNow = false;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The arguments after the program name. Throws UsageError for anything it does not understand.
Options parseOptions(std::span<const std::string_view> arguments);

extern const std::string_view usageText;

}  // namespace cvl::rtemu

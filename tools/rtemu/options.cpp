#include "rtemu/options.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>

namespace cvl::rtemu {
namespace {

std::uint16_t lf_port(std::string_view name, std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value < 1 || value > 65535) {
    throw UsageError(fmt::format("{} needs a port number from 1 to 65535, not '{}'", name, text));
  }
  return static_cast<std::uint16_t>(value);
}

double lf_speed(std::string_view text) {
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value) || value <= 0.0) {
    throw UsageError(fmt::format("--speed needs a factor above 0, not '{}'", text));
  }
  return value;
}

Edition lf_edition(std::string_view text) {
  if (text == "standard") {
    return Edition::standard;
  }
  if (text == "professional") {
    return Edition::professional;
  }
  throw UsageError(fmt::format("--edition is standard or professional, not '{}'", text));
}

}  // namespace

const std::string_view usageText = R"(usage: rtemu --port N --replay FILE [options]
Plays the traffic service for Corvalen: connects to Corvalen's TCP port, answers its version request, logs every line
it receives, and replays a recording of traffic and weather datagrams with their timestamps moved to now.
  --port N                Corvalen's TCP port (without it: no link, and the replay starts at once)
  --tcp-host HOST         Corvalen's host (127.0.0.1)
  --replay FILE           the recording to play (see tools/rtemu/README.md)
  --edition standard|professional
                          the edition named in the version answer (standard)
  --version-text TEXT     the version named in the version answer (9.1)
  --reply TEXT            answer the version request with TEXT as it is; an empty TEXT sends no answer
  --log FILE              the log of received lines (standard output)
  --udp-host HOST         where the datagrams go (127.0.0.1)
  --traffic-port N        the traffic datagrams' port (49005)
  --weather-port N        the weather datagrams' port (49004)
  --speed FACTOR          play faster (2) or slower (0.5) than recorded (1)
  --loop                  start the recording again at its end
  --start-now             start the replay at once, not at the first connection
Commands on standard input: drop (close the link and keep it down), reconnect, quit.
)";

Options parseOptions(std::span<const std::string_view> arguments) {
  Options options;
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const std::string_view name = arguments[index];
    const auto value = [&]() -> std::string_view {
      if (index + 1 >= arguments.size()) {
        throw UsageError(fmt::format("{} needs a value", name));
      }
      return arguments[++index];
    };
    if (name == "--port") {
      options.port = lf_port(name, value());
    } else if (name == "--tcp-host") {
      options.tcpHost = value();
    } else if (name == "--replay") {
      options.replay = value();
    } else if (name == "--edition") {
      options.edition = lf_edition(value());
    } else if (name == "--version-text") {
      options.versionText = value();
    } else if (name == "--reply") {
      options.reply = value();
    } else if (name == "--log") {
      options.log = value();
    } else if (name == "--udp-host") {
      options.udpHost = value();
    } else if (name == "--traffic-port") {
      options.trafficPort = lf_port(name, value());
    } else if (name == "--weather-port") {
      options.weatherPort = lf_port(name, value());
    } else if (name == "--speed") {
      options.speed = lf_speed(value());
    } else if (name == "--loop") {
      options.loop = true;
    } else if (name == "--start-now") {
      options.startNow = true;
    } else {
      throw UsageError(fmt::format("unknown option '{}'", name));
    }
  }
  return options;
}

}  // namespace cvl::rtemu

#include "simemu/options.h"

#include <fmt/core.h>

#include <charconv>
#include <map>

namespace cvl::simemu {
namespace {

std::optional<unsigned> numberOf(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc{} && end == text.data() + text.size() ? std::optional(value) : std::nullopt;
}

}  // namespace

std::variant<Options, std::string> parseOptions(std::span<const std::string_view> arguments) {
  std::map<std::string_view, std::string_view> given;
  for (std::size_t i = 0; i < arguments.size(); i += 2) {
    const auto name = arguments[i];
    if (name != "--sim" && name != "--port" && name != "--state" && name != "--scenario" && name != "--refuse-titles") {
      return fmt::format("unknown option '{}'", name);
    }
    if (i + 1 == arguments.size()) {
      return fmt::format("{} needs a value", name);
    }
    given[name] = arguments[i + 1];
  }
  for (const auto required : {"--sim", "--port", "--state"}) {
    if (!given.contains(required)) {
      return fmt::format("{} is missing", required);
    }
  }
  Options options;
  const auto year = numberOf(given["--sim"]);
  if (year != 2020u && year != 2024u) {
    return "--sim must be 2020 or 2024";
  }
  options.simYear = static_cast<int>(*year);
  const auto port = numberOf(given["--port"]);
  if (!port || *port > 65535) {
    return "--port must be a port number (0 takes a free one)";
  }
  options.port = static_cast<std::uint16_t>(*port);
  options.stateFile = given["--state"];
  if (given.contains("--scenario")) {
    options.scenarioFile = given["--scenario"];
  }
  if (given.contains("--refuse-titles")) {
    options.refusedTitlesFile = given["--refuse-titles"];
  }
  return options;
}

}  // namespace cvl::simemu

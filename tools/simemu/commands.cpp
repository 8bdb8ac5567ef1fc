#include "simemu/commands.h"

#include <fmt/core.h>

#include <charconv>
#include <cmath>
#include <sstream>
#include <vector>

namespace cvl::simemu {
namespace {

std::vector<std::string> wordsOf(std::string_view line) {
  std::istringstream stream{std::string(line)};
  std::vector<std::string> words;
  for (std::string word; stream >> word;) {
    words.push_back(word);
  }
  return words;
}

// A finite number: from_chars also reads "nan" and "inf".
std::optional<double> numberOf(const std::string& word) {
  double value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  const bool whole = error == std::errc{} && end == word.data() + word.size();
  return whole && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

bool isOnEarth(double latitude, double longitude) {
  return latitude >= -90 && latitude <= 90 && longitude >= -180 && longitude <= 180;
}

ParsedCommand parseTeleport(const std::vector<std::string>& words) {
  const auto usage = "usage: teleport LAT LON [ALT]";
  if (words.size() != 3 && words.size() != 4) {
    return {std::nullopt, usage};
  }
  const auto latitude = numberOf(words[1]);
  const auto longitude = numberOf(words[2]);
  const auto altitude = words.size() == 4 ? numberOf(words[3]) : std::optional(0.0);
  if (!latitude || !longitude || !altitude) {
    return {std::nullopt, usage};
  }
  if (!isOnEarth(*latitude, *longitude)) {
    return {std::nullopt, "teleport: latitude or longitude out of range"};
  }
  return {TeleportCommand{*latitude, *longitude, words.size() == 4 ? altitude : std::nullopt}, {}};
}

ParsedCommand parseFly(const std::vector<std::string>& words) {
  const auto usage = "usage: fly LAT LON ALT HEADING SPEED ground|air";
  if (words.size() != 7) {
    return {std::nullopt, usage};
  }
  std::vector<double> numbers;
  for (std::size_t i = 1; i < 6; ++i) {
    const auto number = numberOf(words[i]);
    if (!number) {
      return {std::nullopt, usage};
    }
    numbers.push_back(*number);
  }
  const auto& where = words[6];
  if (where != "ground" && where != "air") {
    return {std::nullopt, usage};
  }
  const FlightPoint point{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], where == "ground"};
  if (!isOnEarth(point.latitude, point.longitude)) {
    return {std::nullopt, "fly: latitude or longitude out of range"};
  }
  if (point.headingDeg < 0 || point.headingDeg > 360) {
    return {std::nullopt, "fly: the heading must lie from 0 to 360 degrees"};
  }
  if (point.groundSpeedKt < 0) {
    return {std::nullopt, "fly: the speed must not be negative"};
  }
  return {FlyCommand{point}, {}};
}

ParsedCommand withoutArguments(const std::vector<std::string>& words, Command command) {
  if (words.size() != 1) {
    return {std::nullopt, fmt::format("{} takes no arguments", words[0])};
  }
  return {command, {}};
}

}  // namespace

ParsedCommand parseCommand(std::string_view line) {
  const auto words = wordsOf(line);
  if (words.empty()) {
    return {};
  }
  const auto& name = words[0];
  if (name == "teleport") {
    return parseTeleport(words);
  }
  if (name == "fly") {
    return parseFly(words);
  }
  if (name == "newflight") {
    return withoutArguments(words, NewFlightCommand{});
  }
  if (name == "pause") {
    return withoutArguments(words, PauseCommand{});
  }
  if (name == "resume") {
    return withoutArguments(words, ResumeCommand{});
  }
  if (name == "quit") {
    return withoutArguments(words, QuitCommand{});
  }
  return {std::nullopt, fmt::format("unknown command '{}'", name)};
}

CommandOutcome runCommand(const Command& command, SimEmulator& emulator) {
  struct Runner {
    SimEmulator& emulator;
    CommandOutcome operator()(const TeleportCommand& c) const {
      emulator.teleportUser(c.latitude, c.longitude, c.altitudeFt);
      return {};
    }
    CommandOutcome operator()(const FlyCommand& c) const { return {false, emulator.flyUser(c.point).value_or("")}; }
    CommandOutcome operator()(const NewFlightCommand&) const {
      emulator.loadNewFlight();
      return {};
    }
    CommandOutcome operator()(const PauseCommand&) const {
      emulator.setPaused(true);
      return {};
    }
    CommandOutcome operator()(const ResumeCommand&) const {
      emulator.setPaused(false);
      return {};
    }
    CommandOutcome operator()(const QuitCommand&) const {
      emulator.quit();
      return {true, {}};
    }
  };
  return std::visit(Runner{emulator}, command);
}

}  // namespace cvl::simemu

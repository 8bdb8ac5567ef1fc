#include "simemu/commands.h"

#include <fmt/core.h>

#include <charconv>
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

std::optional<double> numberOf(const std::string& word) {
  double value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  return error == std::errc{} && end == word.data() + word.size() ? std::optional(value) : std::nullopt;
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
  if (*latitude < -90 || *latitude > 90 || *longitude < -180 || *longitude > 180) {
    return {std::nullopt, "teleport: latitude or longitude out of range"};
  }
  return {TeleportCommand{*latitude, *longitude, words.size() == 4 ? altitude : std::nullopt}, {}};
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

bool runCommand(const Command& command, SimEmulator& emulator) {
  struct Runner {
    SimEmulator& emulator;
    bool operator()(const TeleportCommand& c) const {
      emulator.teleportUser(c.latitude, c.longitude, c.altitudeFt);
      return false;
    }
    bool operator()(const NewFlightCommand&) const {
      emulator.loadNewFlight();
      return false;
    }
    bool operator()(const PauseCommand&) const {
      emulator.setPaused(true);
      return false;
    }
    bool operator()(const ResumeCommand&) const {
      emulator.setPaused(false);
      return false;
    }
    bool operator()(const QuitCommand&) const {
      emulator.quit();
      return true;
    }
  };
  return std::visit(Runner{emulator}, command);
}

}  // namespace cvl::simemu

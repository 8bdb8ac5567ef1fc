#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

// simemu's command line: --sim 2020|2024 --port N --state FILE [--scenario FILE] [--refuse-titles FILE].
namespace cvl::simemu {

struct Options {
  int simYear = 2020;
  std::uint16_t port = 0;  // 0 takes a free port
  std::filesystem::path stateFile;
  std::optional<std::filesystem::path> scenarioFile;
  std::optional<std::filesystem::path> refusedTitlesFile;
};

inline constexpr std::string_view usage =
    "usage: simemu --sim 2020|2024 --port N --state FILE [--scenario FILE] [--refuse-titles FILE]";

// The options, or the reason the arguments (without the program name) are not a valid command line.
std::variant<Options, std::string> parseOptions(std::span<const std::string_view> arguments);

}  // namespace cvl::simemu

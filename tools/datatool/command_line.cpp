#include "datatool/command_line.h"

#include <fmt/format.h>
#include <fmt/ostream.h>
#include <fmt/std.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "datatool/data_file_encryption.h"
#include "datatool/download_site.h"

namespace cvl::datatool {
namespace {

constexpr std::string_view usage =
    "usage:\n"
    "  datatool encrypt IN.xml OUT.enc\n"
    "  datatool site SAMPLE_DIR SITE_DIR [--version KEY=MAJOR.MINOR.PATCH]... [--installer MAJOR.MINOR.PATCH]\n"
    "                                    [--simaddon-airports CODE,CODE...]\n"
    "    KEY: msfs, simaddon, airports, aig, liveries, addons or dbase (versions.json).\n"
    "    --installer puts the installer zip of that program version into release/ and announces it as \"msfs\",\n"
    "    unless --version msfs=... says otherwise.\n";

// A command line that cannot be carried out as written.
class UsageError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

std::vector<std::string> splitAtCommas(std::string_view text) {
  std::vector<std::string> pieces;
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    if (std::string_view piece = text.substr(0, comma); !piece.empty()) {
      pieces.emplace_back(piece);
    }
    text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
  }
  return pieces;
}

ComponentVersion versionArgument(std::string_view text) {
  try {
    return parseComponentVersion(text);
  } catch (const std::invalid_argument& error) {
    throw UsageError(error.what());
  }
}

void setComponentVersion(ComponentVersions& versions, std::string_view assignment) {
  const std::size_t equals = assignment.find('=');
  const std::string_view key = assignment.substr(0, equals);
  if (equals == std::string_view::npos || std::ranges::find(componentKeys, key) == componentKeys.end()) {
    throw UsageError(fmt::format("--version wants KEY=MAJOR.MINOR.PATCH with a known KEY, not '{}'", assignment));
  }
  versions[std::string(key)] = versionArgument(assignment.substr(equals + 1));
}

SiteOptions siteOptions(std::span<const std::string> options) {
  SiteOptions site;
  bool programVersionGiven = false;
  for (std::size_t index = 0; index < options.size(); index += 2) {
    const std::string& option = options[index];
    if (index + 1 == options.size()) {
      throw UsageError(fmt::format("{} wants a value", option));
    }
    const std::string& value = options[index + 1];
    if (option == "--version") {
      setComponentVersion(site.versions, value);
      programVersionGiven = programVersionGiven || value.starts_with("msfs=");
    } else if (option == "--installer") {
      site.installerVersion = versionArgument(value);
    } else if (option == "--simaddon-airports") {
      site.simAddonAirports = splitAtCommas(value);
    } else {
      throw UsageError(fmt::format("unknown option {}", option));
    }
  }
  if (site.installerVersion && !programVersionGiven) {
    site.versions["msfs"] = *site.installerVersion;
  }
  return site;
}

void runCommand(std::span<const std::string> arguments, std::ostream& out) {
  if (arguments.empty()) {
    throw UsageError("no command given");
  }
  const std::string& command = arguments[0];
  if (command == "encrypt" && arguments.size() == 3) {
    encryptDataFile(arguments[1], arguments[2]);
    fmt::print(out, "encrypted {} into {}\n", arguments[1], arguments[2]);
  } else if (command == "site" && arguments.size() >= 3) {
    layOutSite(arguments[1], arguments[2], siteOptions(arguments.subspan(3)));
    fmt::print(out, "site laid out in {}\n", arguments[2]);
  } else {
    throw UsageError(fmt::format("cannot run '{}' with {} argument(s)", command, arguments.size() - 1));
  }
}

}  // namespace

int runDatatool(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
  try {
    runCommand(arguments, out);
    return 0;
  } catch (const UsageError& error) {
    fmt::print(err, "datatool: {}\n{}", error.what(), usage);
    return 2;
  } catch (const std::exception& error) {
    fmt::print(err, "datatool: {}\n", error.what());
    return 1;
  }
}

}  // namespace cvl::datatool

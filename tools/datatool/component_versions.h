#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace cvl::datatool {

struct ComponentVersion {
  std::int32_t major = 0;
  std::int32_t minor = 0;
  std::int32_t patch = 0;

  friend bool operator==(const ComponentVersion&, const ComponentVersion&) = default;
};

// The members of versions.json, in the order the program handles them.
inline constexpr std::array<std::string_view, 7> componentKeys = {"msfs",     "simaddon", "airports", "aig",
                                                                  "liveries", "addons",   "dbase"};

using ComponentVersions = std::map<std::string, ComponentVersion, std::less<>>;

// "MAJOR.MINOR.PATCH" with three non-negative 32-bit numbers; throws std::invalid_argument otherwise.
ComponentVersion parseComponentVersion(std::string_view text);
std::string versionText(const ComponentVersion& version);

// The program's own version for "msfs", the sample data's versions for the rest.
ComponentVersions defaultComponentVersions();

// versions.json: one object per component, each {"major","minor","patch"}, in the handling order.
std::string versionsJson(const ComponentVersions& versions);

}  // namespace cvl::datatool

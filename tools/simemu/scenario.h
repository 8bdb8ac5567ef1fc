#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "simemu/sim_object.h"

// What the emulated simulator starts with: the user aircraft, the simulator's own traffic, the height of its (flat)
// ground and its clock. A scenario file is JSON:
//   {"user": {"title", "atcType", "atcModel", "tail", "wingspan" (feet), "lat", "lon", "alt" (feet), "heading",
//             "onGround", "staticCgHeight" (feet)},
//    "groundAltitude": feet, "unixTime": seconds (default: the time the emulator starts),
//    "traffic": [{"title", "tail", "type": "aircraft" or "helicopter", "lat", "lon", "alt", "heading", "onGround"}]}
// Every member may be left out; the user aircraft's then keep the sample's values (an A320 on the ground at EDDF's
// reference point), and the ground is at the user aircraft's altitude when it stands on the ground, else at 0.
namespace cvl::simemu {

struct Scenario {
  SimObject user;
  std::vector<SimObject> traffic;
  double groundAltitudeFt = 0;
  std::optional<std::int64_t> unixTime;
};

Scenario sampleScenario();

// Throws std::runtime_error naming the file and the fault when it cannot be read or a member has the wrong type.
Scenario loadScenario(const std::filesystem::path& file);

}  // namespace cvl::simemu

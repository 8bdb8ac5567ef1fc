#include "parking/airport_file_writer.h"

#include <fmt/format.h>

#include <cmath>
#include <gsl/narrow>
#include <system_error>

#include "foundation/constants.h"
#include "foundation/geometry.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "foundation/xml.h"
#include "parking/park_airport_file.h"
#include "refdata/registration_lookup.h"

namespace cvl {
namespace {

// Every attribute of a stand, as a generated or handmade file needs it.
bool lf_appendFullAttributes(pugi::xml_node node, const ParkPos& stand) {
  bool complete = gf_appendAttribute(node, "latitude", fmt::format("{:.6f}", stand.latitude));
  complete = gf_appendAttribute(node, "longitude", fmt::format("{:.6f}", stand.longitude)) && complete;
  complete = gf_appendAttribute(node, "heading", fmt::format("{:.1f}", stand.heading * radiansToDegrees)) && complete;
  complete = gf_appendAttribute(node, "radius", fmt::format("{:.1f}", stand.radius * metresPerNm)) && complete;
  if (stand.heli) {
    complete = gf_appendBoolAttribute(node, "heli", true) && complete;
  } else {
    complete = gf_appendBoolAttribute(node, "cargo", stand.cargo) && complete;
  }
  complete = gf_appendBoolAttribute(node, "ramp", stand.ramp) && complete;
  if (stand.manual) {
    complete = gf_appendBoolAttribute(node, "manual", true) && complete;
  }
  return complete;
}

// Only the corrections the learned file makes to a stand of the airport file.
bool lf_appendChanges(pugi::xml_node node, const ParkPos& stand) {
  bool complete = true;
  if (stand.radius_change) {
    complete = gf_appendBoolAttribute(node, "radius_change", true) && complete;
    complete = gf_appendAttribute(node, "radius", fmt::format("{:.1f}", stand.radius * metresPerNm)) && complete;
  }
  if (stand.cargo_change) {
    complete = gf_appendBoolAttribute(node, "cargo_change", true) && complete;
    complete = gf_appendBoolAttribute(node, "cargo", stand.cargo) && complete;
  }
  return complete;
}

bool lf_appendOption(pugi::xml_node stand, const StandOption& option) {
  const auto hours = gf_bitset2hours(option.hh);
  if (!hours) {
    gf_logFlagged(fmt::format("bit set problem: {} {} {}", option.reg, option.callsign,
                              fmt::format("{:3} {:4}", option.airline, option.type)));
    return true;
  }
  auto node = stand.append_child("opt");
  bool complete = node && gf_appendAttribute(node, "reg", option.reg);
  if (!gf_findDbaseRecord(option.reg)) {
    complete = gf_appendAttribute(node, "airl", option.airline) && complete;
    complete = gf_appendAttribute(node, "type", option.type) && complete;
  }
  if (option.real == 0) {
    complete = gf_appendBoolAttribute(node, "soft", true) && complete;
  }
  complete = gf_appendAttribute(node, "day", fmt::format("{}", option.day)) && complete;
  complete = gf_appendAttribute(node, "hh", *hours) && complete;
  if (!option.callsign.empty()) {
    const std::string cs =
        option.callsign2.empty() ? option.callsign : fmt::format("{}:{}", option.callsign, option.callsign2);
    complete = gf_appendAttribute(node, "cs", cs) && complete;
  }
  if (option.cpl) {
    complete = gf_appendBoolAttribute(node, "cpl", true) && complete;
  }
  return complete;
}

bool lf_appendLearnedStand(pugi::xml_node node, const ParkPos& stand) {
  bool complete = true;
  if (!stand.radius_change && !stand.cargo_change) {
    if (stand.manual || apfHandmade) {
      complete = lf_appendFullAttributes(node, stand);
    }
  } else if (stand.manual) {
    complete = lf_appendFullAttributes(node, stand);
  } else {
    complete = lf_appendChanges(node, stand);
  }
  // Options the stand search set aside (id 0) are learned all the same.
  for (const StandOption& option : stand.options) {
    complete = lf_appendOption(node, option) && complete;
  }
  return complete;
}

bool lf_appendStands(pugi::xml_node root, const ApfData& apf, ApfMode mode) {
  auto positions = root.append_child("parkpositions");
  if (!positions) {
    return false;
  }
  bool complete = true;
  for (const ParkPos& stand : apf.positions) {
    auto node = positions.append_child("parkpos");
    if (!node || !gf_appendAttribute(node, "id", stand.id)) {
      return false;
    }
    complete =
        (mode == ApfMode::full ? lf_appendFullAttributes(node, stand) : lf_appendLearnedStand(node, stand)) && complete;
  }
  return complete;
}

// The static-parking settings in force at the airport, so that the next visit starts with them.
bool lf_appendSettings(pugi::xml_node parameters) {
  const auto maxFit = gsl::narrow<std::int32_t>(std::round(2.0 * static_cast<double>(MAX_FIT_FL.value.load())) - 1.0);
  bool complete = gf_appendIntParameter(parameters, rangeKey, RANGE.value);
  complete = gf_appendBoolParameter(parameters, autoRangeKey, AUTO_RANGE.value) && complete;
  complete = gf_appendBoolParameter(parameters, weekKey, WEEK.value) && complete;
  complete = gf_appendBoolParameter(parameters, parkSoftKey, PARK_SOFT.value) && complete;
  complete = gf_appendIntParameter(parameters, parkingPercentageKey, parking_percentage.value) && complete;
  complete = gf_appendBoolParameter(parameters, initialLoadOnlyKey, INITIAL_LOAD_ONLY.value) && complete;
  complete = gf_appendIntParameter(parameters, maxFitKey, maxFit) && complete;
  return gf_appendIntParameter(parameters, maxLiveSelKey, MAX_LIVE_SEL.value) && complete;
}

}  // namespace

bool gf_writeApfParameters(pugi::xml_node rootNode, const ApfData& apf, ApfMode mode) {
  auto parameters = rootNode.append_child(parametersElement.c_str());
  if (!parameters) {
    return false;
  }
  // Only the park airport's own learned file can be handmade; a generated file never is.
  const bool handmade = mode == ApfMode::learned && apfHandmade;
  bool complete = gf_appendStringParameter(parameters, airportNameKey, apf.airport_name);
  complete = gf_appendStringParameter(parameters, publisherKey, apf.publisher) && complete;
  if (handmade) {
    complete = gf_appendBoolParameter(parameters, handmadeKey, true) && complete;
  }
  if (handmade || mode == ApfMode::full) {
    complete = gf_appendIntParameter(parameters, altitudeKey, apf.altitude) && complete;
  }
  if (mode == ApfMode::full) {
    complete =
        gf_appendIntParameter(parameters, numParkposKey, gsl::narrow<std::int32_t>(apf.positions.size())) && complete;
  }
  if (handmade) {
    complete = gf_appendIntParameter(parameters, qfRealKey, apf.Qf_real) && complete;
    complete = gf_appendIntParameter(parameters, qfSoftKey, apf.Qf_soft) && complete;
  }
  if (apf.publisher.empty()) {
    complete = gf_appendStringParameter(parameters, "BGLpath", apf.BGLpath) && complete;
    complete = gf_appendStringParameter(parameters, manufacturerKey, apf.manufacturer) && complete;
    complete = gf_appendStringParameter(parameters, creatorKey, apf.creator) && complete;
  }
  if (mode == ApfMode::learned) {
    complete = lf_appendSettings(parameters) && complete;
  }
  return complete;
}

bool gf_writeApf(const ApfData& apf, const std::filesystem::path& path, ApfMode mode, SimType sim) {
  pugi::xml_document document;
  FileMeta meta;
  meta.version = programVersion.toString();
  meta.setSim(sim);
  if (!gf_writeMeta(document, meta)) {
    return false;
  }
  auto root = document.child("root");
  if (!root || !gf_writeApfParameters(root, apf, mode) || !lf_appendStands(root, apf, mode)) {
    return false;
  }
  std::error_code error;
  if (path.has_parent_path()) {
    std::filesystem::create_directories(path.parent_path(), error);
  }
  if (error) {
    gf_logFlagged(fmt::format("could not create the folder of {}: {}", path.string(), error.message()));
    return false;
  }
  return gf_saveXmlFile(document, path);
}

}  // namespace cvl

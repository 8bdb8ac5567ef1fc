#include "parking/airport_file_reader.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "foundation/geometry.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "foundation/text_encoding.h"
#include "foundation/user_error.h"
#include "foundation/xml.h"
#include "refdata/registration_lookup.h"

namespace cvl {
namespace {

constexpr const char* idAttribute = "id";

// A whole number 0 or more; nothing for any other text.
std::optional<std::uint32_t> lf_unsignedAttribute(pugi::xml_node node, const char* name) {
  const std::string text = gf_trim(node.attribute(name).as_string());
  std::uint32_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc{} || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return number;
}

bool lf_isOnEarth(double latitude, double longitude) {
  return std::abs(latitude) <= 90.0 && std::abs(longitude) <= 180.0;
}

// Counts a stand or option left out; the first one is named with the reason, as "<what> '<id>' <why>".
void lf_leaveOut(std::size_t& count, std::string& first, std::string_view what, std::string_view id,
                 std::string_view why) {
  ++count;
  if (first.empty()) {
    first = fmt::format("{} '{}' {}", what, gf_excerpt(id), why);
  }
}

// The stand's options that can be used: some half hours on a weekday, numbered from 1 in file order.
std::vector<StandOption> lf_readOptions(pugi::xml_node node, const std::string& id, std::uint32_t origin,
                                        LeftOut& leftOut) {
  const auto children = node.children("opt");
  std::vector<StandOption> options;
  options.reserve(static_cast<std::size_t>(std::distance(children.begin(), children.end())));
  for (const auto optNode : children) {
    StandOption option = lf_readStandOption(optNode, origin);
    if (option.hh.none()) {
      lf_leaveOut(leftOut.options, leftOut.first, "an option of stand", id, "has no half hours");
      continue;
    }
    if (option.day < 1 || option.day > 7) {
      lf_leaveOut(leftOut.options, leftOut.first, "an option of stand", id, "has no weekday 1 to 7");
      continue;
    }
    if (!gf_hasCleanTexts(option)) {
      lf_leaveOut(leftOut.options, leftOut.first, "an option of stand", id, "has a text that is not clean UTF-8");
      continue;
    }
    option.id = static_cast<std::uint32_t>(options.size() + 1);
    options.push_back(std::move(option));
  }
  return options;
}

}  // namespace

bool gf_hasCleanTexts(const StandOption& option) {
  return gf_isCleanText(option.callsign) && gf_isCleanText(option.callsign2) && gf_isCleanText(option.reg) &&
         gf_isCleanText(option.airline) && gf_isCleanText(option.type);
}

std::optional<double> gf_apfNumber(pugi::xml_node node, const char* name) {
  const auto attribute = node.attribute(name);
  if (!attribute) {
    return 0.0;
  }
  const std::string text = gf_trim(attribute.as_string());
  double number = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(number)) {
    return std::nullopt;
  }
  return number;
}

LeftOut lf_readParkPositions(pugi::xml_node document, std::vector<ParkPos>& stands) {
  const auto positions = gf_rootOrDocChild(document, "parkpositions");
  LeftOut leftOut;
  std::unordered_set<std::string> idsSeen;
  idsSeen.reserve(512);
  int count = 0;
  for (const auto node : positions.children("parkpos")) {
    ++count;
    const auto idAttributeNode = node.attribute(idAttribute);
    if (!idAttributeNode) {
      throw UserErrorException(93, fmt::format("Parking position #{} has no '{}' attribute.", count, idAttribute));
    }
    std::string id = gf_trim(idAttributeNode.as_string());
    if (id.empty()) {
      throw UserErrorException(93, fmt::format("Parking position #{} has empty '{}' attribute.", count, idAttribute));
    }
    if (!idsSeen.insert(id).second) {
      throw UserErrorException(94, fmt::format("Parking position '{}' appears more than once.", gf_excerpt(id)));
    }
    lf_readParkPos(node, std::move(id), 1, stands, leftOut);
  }
  return leftOut;
}

bool lf_readParkPos(pugi::xml_node node, std::string id, std::uint32_t origin, std::vector<ParkPos>& stands,
                    LeftOut& leftOut) {
  const auto latitude = gf_apfNumber(node, "latitude");
  const auto longitude = gf_apfNumber(node, "longitude");
  if (latitude && longitude && *latitude == 0.0 && *longitude == 0.0) {
    lf_leaveOut(leftOut.stands, leftOut.first, "stand", id, "has no position");
    return false;
  }
  const auto radius = gf_apfNumber(node, "radius");
  const auto heading = gf_apfNumber(node, "heading");
  if (!latitude || !longitude || !radius || !heading || !lf_isOnEarth(*latitude, *longitude) || *radius < 0.0) {
    gf_logFlagged(
        fmt::format("Parking position '{}' has no usable position, heading or radius, skipped", gf_excerpt(id)));
    lf_leaveOut(leftOut.stands, leftOut.first, "stand", id, "has no usable position, heading or radius");
    return false;
  }
  auto options = lf_readOptions(node, id, origin, leftOut);
  stands.emplace_back(std::move(id), std::move(options), StandPlace{*latitude, *longitude, *heading * degreesToRadians},
                      *radius, node.attribute("cargo").as_bool(false), node.attribute("ramp").as_bool(false),
                      node.attribute("heli").as_bool(false));
  return true;
}

OptionIdentity lf_resolveRegistration(pugi::xml_node optNode) {
  OptionIdentity identity;
  const std::string cs = optNode.attribute("cs").as_string();
  if (const auto colon = cs.find(':'); colon != std::string::npos) {
    identity.callsign = cs.substr(0, colon);
    identity.callsign2 = cs.substr(colon + 1);
  } else {
    identity.callsign = cs;
  }
  const std::string reg = optNode.attribute("reg").as_string();
  if (const auto record = reg.empty() ? std::nullopt : gf_findDbaseRecord(reg)) {
    identity.type = record->type;
    identity.airline = record->opr.empty() ? record->airl : record->opr;
  } else {
    identity.airline = optNode.attribute("airl").as_string();
    identity.type = optNode.attribute("type").as_string();
  }
  return identity;
}

StandOption lf_readStandOption(pugi::xml_node optNode, std::uint32_t origin) {
  OptionIdentity identity = lf_resolveRegistration(optNode);
  StandOption option;
  option.airline = std::move(identity.airline);
  option.type = std::move(identity.type);
  option.reg = optNode.attribute("reg").as_string();
  option.callsign = std::move(identity.callsign);
  option.callsign2 = std::move(identity.callsign2);
  if (const std::string hours = optNode.attribute("hh").as_string(); !hours.empty()) {
    option.hh = gf_hours2bitset(hours);
  }
  option.day = lf_unsignedAttribute(optNode, "day").value_or(0);
  option.origin = origin;
  option.real = optNode.attribute("soft").as_bool(false) ? 0 : 1;
  option.cpl = optNode.attribute("cpl").as_bool(false);
  return option;
}

}  // namespace cvl

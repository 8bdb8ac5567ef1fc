#include "simemu/scenario.h"

#include <fmt/core.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace cvl::simemu {
namespace {

using nlohmann::json;

// Reads an optional member into `value`, which keeps its value when the member is absent.
template <class T>
void read(const json& object, const char* name, T& value, const std::string& where) {
  const auto member = object.find(name);
  if (member == object.end()) {
    return;
  }
  try {
    value = member->get<T>();
  } catch (const json::exception&) {
    throw std::runtime_error(fmt::format("{}.{} has the wrong type", where, name));
  }
}

void readAircraft(const json& source, SimObject& aircraft, const std::string& where) {
  if (!source.is_object()) {
    throw std::runtime_error(fmt::format("{} is not an object", where));
  }
  read(source, "title", aircraft.title, where);
  read(source, "atcType", aircraft.atcType, where);
  read(source, "atcModel", aircraft.atcModel, where);
  read(source, "tail", aircraft.tail, where);
  read(source, "wingspan", aircraft.wingspanFt, where);
  read(source, "lat", aircraft.latitude, where);
  read(source, "lon", aircraft.longitude, where);
  read(source, "alt", aircraft.altitudeFt, where);
  read(source, "heading", aircraft.headingDeg, where);
  read(source, "onGround", aircraft.onGround, where);
  read(source, "staticCgHeight", aircraft.staticCgFt, where);
  std::string type = "aircraft";
  read(source, "type", type, where);
  if (type != "aircraft" && type != "helicopter") {
    throw std::runtime_error(fmt::format("{}.type must be \"aircraft\" or \"helicopter\"", where));
  }
  aircraft.type = type == "helicopter" ? SIMCONNECT_SIMOBJECT_TYPE_HELICOPTER : SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT;
}

Scenario scenarioFrom(const json& document) {
  if (!document.is_object()) {
    throw std::runtime_error("the scenario is not a JSON object");
  }
  Scenario scenario = sampleScenario();
  if (const auto user = document.find("user"); user != document.end()) {
    readAircraft(*user, scenario.user, "user");
  }
  scenario.groundAltitudeFt = scenario.user.onGround ? scenario.user.altitudeFt : 0.0;
  read(document, "groundAltitude", scenario.groundAltitudeFt, "scenario");
  std::int64_t unixTime = 0;
  if (document.contains("unixTime")) {
    read(document, "unixTime", unixTime, "scenario");
    scenario.unixTime = unixTime;
  }
  if (const auto traffic = document.find("traffic"); traffic != document.end()) {
    if (!traffic->is_array()) {
      throw std::runtime_error("traffic is not a list");
    }
    for (std::size_t i = 0; i < traffic->size(); ++i) {
      SimObject aircraft;
      readAircraft((*traffic)[i], aircraft, fmt::format("traffic[{}]", i));
      scenario.traffic.push_back(std::move(aircraft));
    }
  }
  return scenario;
}

}  // namespace

Scenario sampleScenario() {
  Scenario scenario;
  auto& user = scenario.user;
  user.title = "Airbus A320neo Corvalen Sample";
  user.atcType = "A320";
  user.atcModel = "A320";
  user.tail = "D-ASIM";
  user.wingspanFt = 117.4;
  user.latitude = 50.0333;
  user.longitude = 8.5706;
  user.altitudeFt = 364;
  user.headingDeg = 250;
  user.onGround = true;
  scenario.groundAltitudeFt = user.altitudeFt;
  return scenario;
}

Scenario loadScenario(const std::filesystem::path& file) {
  std::ifstream stream(file, std::ios::binary);
  if (!stream) {
    throw std::runtime_error(fmt::format("Scenario {}: cannot be read", file.string()));
  }
  try {
    return scenarioFrom(json::parse(stream));
  } catch (const json::exception& error) {
    throw std::runtime_error(fmt::format("Scenario {}: not JSON: {}", file.string(), error.what()));
  } catch (const std::runtime_error& error) {
    throw std::runtime_error(fmt::format("Scenario {}: {}", file.string(), error.what()));
  }
}

}  // namespace cvl::simemu

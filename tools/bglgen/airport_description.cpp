#include "bglgen/airport_description.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace cvl::bglgen {
namespace {

constexpr double millimetresPerFoot = 304.8;

Parking readParking(const nlohmann::json& item) {
  const Parking defaults;
  Parking parking;
  parking.nameKind = item.value("kind", defaults.nameKind);
  parking.number = item.value("number", defaults.number);
  parking.type = item.value("type", defaults.type);
  parking.radius = item.value("radius", defaults.radius);
  parking.heading = item.value("heading", defaults.heading);
  parking.latitude = item.at("lat").get<double>();
  parking.longitude = item.at("lon").get<double>();
  return parking;
}

Helipad readHelipad(const nlohmann::json& item) {
  return {item.at("lat").get<double>(), item.at("lon").get<double>(), item.value("width", Helipad{}.width)};
}

Airport readAirport(const nlohmann::json& item) {
  Airport airport;
  airport.ident = item.at("ident").get<std::string>();
  airport.elevationMillimetres =
      static_cast<std::int32_t>(std::lround(item.value("elevationFeet", 0.0) * millimetresPerFoot));
  for (const auto& helipad : item.value("helipads", nlohmann::json::array())) {
    airport.helipads.push_back(readHelipad(helipad));
  }
  for (const auto& parking : item.value("parkings", nlohmann::json::array())) {
    airport.parkings.push_back(readParking(parking));
  }
  return airport;
}

}  // namespace

std::vector<Airport> readAirportDescription(std::string_view json) {
  try {
    const auto document = nlohmann::json::parse(json);
    std::vector<Airport> airports;
    for (const auto& item : document.at("airports")) {
      airports.push_back(readAirport(item));
    }
    return airports;
  } catch (const nlohmann::json::exception& failure) {
    throw std::runtime_error(std::string{"bad airport description: "} + failure.what());
  }
}

}  // namespace cvl::bglgen

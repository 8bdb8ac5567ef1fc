#include "refdata/dbase_queries.h"

#include <algorithm>
#include <cctype>

#include "refdata/aircraft_database.h"

namespace cvl {

AcCategory gf_aircraftCategory(std::string_view type) {
  if (LargeTypes.contains(type)) {
    return AcCategory::Large;
  }
  if (HeavyTypes.contains(type)) {
    return AcCategory::Heavy;
  }
  if (BuzjetTypes.contains(type)) {
    return AcCategory::Buzjets;
  }
  if (RotorcraftTypes.contains(type)) {
    return AcCategory::Rotorcraft;
  }
  if (HighPerfTypes.contains(type)) {
    return AcCategory::HighPerf;
  }
  return AcCategory::Light;
}

bool gf_isKnownType(std::string_view type) {
  return !type.empty() && KnownTypes.contains(type);
}

bool gf_isIcaoAirline(std::string_view airline) {
  return !airline.empty() && IcaoAirlines.contains(airline);
}

double gf_halfWingspan(std::string_view type) {
  const auto found = HalfWingspanTable.byType.find(type);
  if (found != HalfWingspanTable.byType.end()) {
    return found->second;
  }
  return HalfWingspanTable.categoryAverage.at(static_cast<std::size_t>(gf_aircraftCategory(type)));
}

bool gf_containsNoCase(std::string_view text, std::string_view pattern) {
  if (pattern.empty()) {
    return true;
  }
  const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  return std::search(text.begin(), text.end(), pattern.begin(), pattern.end(),
                     [&lower](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

std::optional<std::string> gf_findPublisher(std::string_view text) {
  for (const auto& names : Publishers) {
    const bool named = std::any_of(names.begin(), names.end(),
                                   [text](const std::string& name) { return gf_containsNoCase(text, name); });
    if (named) {
      return names.front();
    }
  }
  return std::nullopt;
}

std::size_t lf_publisherCount() {
  return Publishers.size();
}

}  // namespace cvl

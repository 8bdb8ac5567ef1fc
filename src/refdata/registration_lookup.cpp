#include "refdata/registration_lookup.h"

#include <algorithm>

#include "foundation/constants.h"

namespace cvl {
namespace {

constexpr std::size_t shortestDashedRegistration = 5;

std::string lf_dashAfter(std::string_view registration, std::size_t prefixLength) {
  return std::string{registration.substr(0, prefixLength)} + registrationSeparator +
         std::string{registration.substr(prefixLength)};
}

}  // namespace

std::vector<std::string> gf_regVariants(std::string_view registration) {
  if (registration.size() < shortestDashedRegistration || registration.front() == 'N' ||
      registration.find('-') != std::string_view::npos) {
    return {std::string{registration}};
  }
  return {lf_dashAfter(registration, 2), lf_dashAfter(registration, 1), std::string{registration}};
}

std::optional<DbaseRecord> gf_findDbaseRecord(std::string_view registration) {
  if (registration.empty()) {
    return std::nullopt;
  }
  for (const auto& form : gf_regVariants(registration)) {
    const auto found = RegistrationTable.find(form);
    if (found != RegistrationTable.end()) {
      return found->second;
    }
  }
  return std::nullopt;
}

std::string gf_regAirline(std::string_view registration) {
  const auto record = gf_findDbaseRecord(registration);
  return record ? record->airl : std::string{};
}

std::string gf_regOperator(std::string_view registration) {
  const auto record = gf_findDbaseRecord(registration);
  return record ? record->opr : std::string{};
}

std::optional<std::string> gf_findShortRegIn(std::string_view text) {
  const auto found = std::find_if(ShortRegistrations.begin(), ShortRegistrations.end(),
                                  [text](const std::string& key) { return text.find(key) != std::string_view::npos; });
  if (found == ShortRegistrations.end()) {
    return std::nullopt;
  }
  return *found;
}

}  // namespace cvl

#include "engine/ac_enums.h"

#include <unordered_map>

namespace cvl {

std::string_view categoryName(AcCategory category) {
  static const std::unordered_map<AcCategory, std::string_view> names{
      {AcCategory::Light, "Light"}, {AcCategory::Buzjets, "Buzjets"},   {AcCategory::Large, "Large"},
      {AcCategory::Heavy, "Heavy"}, {AcCategory::HighPerf, "HighPerf"}, {AcCategory::Rotorcraft, "Rotorcraft"},
  };
  return names.at(category);
}

std::string_view stateName(AcState state) {
  static const std::unordered_map<AcState, std::string_view> names{
      {AcState::buffer, "buffer"},
      {AcState::adding2sim, "adding2sim"},
      {AcState::active, "active"},
      {AcState::liveryrespawn, "liveryrespawn"},
      {AcState::removingfromsim, "removingfromsim"},
  };
  return names.at(state);
}

std::string_view phaseName(AcPhase phase) {
  static const std::unordered_map<AcPhase, std::string_view> names{
      {AcPhase::pushing_back, "pushing_back"},
      {AcPhase::pushed_back, "pushed_back"},
      {AcPhase::taxi, "taxi"},
      {AcPhase::take_off, "take_off"},
      {AcPhase::flying, "flying"},
      {AcPhase::parking, "parking"},
      {AcPhase::parked, "parked"},
      {AcPhase::birth, "birth"},
  };
  return names.at(phase);
}

}  // namespace cvl

#include "engine/motion_tables.h"

#include <unordered_map>

#include "foundation/geometry.h"

namespace cvl {

namespace {

// One category's values; angles in degrees as they are usually stated.
struct CategoryMotion {
  double rotationSpeed;   // kt
  double maxBank;         // degrees
  double maxBankChange;   // degrees per tick
  double maxPitchChange;  // degrees per tick
  double maxClimbStep;    // feet per tick
  double standTaxiSpeed;  // kt
};

const CategoryMotion& lf_motionOf(AcCategory category) {
  static const std::unordered_map<AcCategory, CategoryMotion> table{
      {AcCategory::Light, {90.0, 40.0, 0.035, 0.01, 0.5, 5.0}},
      {AcCategory::Buzjets, {110.0, 35.0, 0.0275, 0.0085, 0.75, 4.5}},
      {AcCategory::Large, {140.0, 30.0, 0.02, 0.0075, 0.6, 4.0}},
      {AcCategory::Heavy, {150.0, 20.0, 0.015, 0.005, 0.5, 3.0}},
      {AcCategory::HighPerf, {220.0, 90.0, 0.1, 0.03, 1.0, 4.5}},
      {AcCategory::Rotorcraft, {0.0, 75.0, 0.06, 0.03, 0.75, 5.0}},
  };
  return table.at(category);
}

}  // namespace

double gf_rotationSpeed(AcCategory category) {
  return lf_motionOf(category).rotationSpeed;
}

double gf_maxBank(AcCategory category) {
  return lf_motionOf(category).maxBank * degreesToRadians;
}

double gf_maxBankChange(AcCategory category) {
  return lf_motionOf(category).maxBankChange * degreesToRadians;
}

double gf_maxPitchChange(AcCategory category) {
  return lf_motionOf(category).maxPitchChange * degreesToRadians;
}

double gf_maxClimbStep(AcCategory category) {
  return lf_motionOf(category).maxClimbStep;
}

double gf_standTaxiSpeed(AcCategory category) {
  return lf_motionOf(category).standTaxiSpeed;
}

}  // namespace cvl

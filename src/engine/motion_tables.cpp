#include "engine/motion_tables.h"

#include <initializer_list>
#include <unordered_map>
#include <utility>

#include "foundation/geometry.h"

namespace cvl {

namespace {

using CategoryRow = std::pair<AcCategory, double>;
using CategoryValues = std::unordered_map<AcCategory, double>;

CategoryValues lf_tableOf(std::initializer_list<CategoryRow> rows, double scale) {
  CategoryValues table;
  for (const auto& [category, value] : rows) {
    table.emplace(category, value * scale);
  }
  return table;
}

}  // namespace

double gf_rotationSpeed(AcCategory category) {
  static const CategoryValues table = lf_tableOf({{AcCategory::Light, 90.0},
                                                  {AcCategory::Buzjets, 110.0},
                                                  {AcCategory::Large, 140.0},
                                                  {AcCategory::Heavy, 150.0},
                                                  {AcCategory::HighPerf, 220.0},
                                                  {AcCategory::Rotorcraft, 0.0}},
                                                 1.0);
  return table.at(category);
}

double gf_maxBank(AcCategory category) {
  static const CategoryValues table = lf_tableOf({{AcCategory::Light, 40.0},
                                                  {AcCategory::Buzjets, 35.0},
                                                  {AcCategory::Large, 30.0},
                                                  {AcCategory::Heavy, 20.0},
                                                  {AcCategory::HighPerf, 90.0},
                                                  {AcCategory::Rotorcraft, 75.0}},
                                                 degreesToRadians);
  return table.at(category);
}

double gf_maxBankChange(AcCategory category) {
  static const CategoryValues table = lf_tableOf({{AcCategory::Light, 0.035},
                                                  {AcCategory::Buzjets, 0.0275},
                                                  {AcCategory::Large, 0.02},
                                                  {AcCategory::Heavy, 0.015},
                                                  {AcCategory::HighPerf, 0.1},
                                                  {AcCategory::Rotorcraft, 0.06}},
                                                 degreesToRadians);
  return table.at(category);
}

double gf_maxPitchChange(AcCategory category) {
  static const CategoryValues table = lf_tableOf({{AcCategory::Light, 0.01},
                                                  {AcCategory::Buzjets, 0.0085},
                                                  {AcCategory::Large, 0.0075},
                                                  {AcCategory::Heavy, 0.005},
                                                  {AcCategory::HighPerf, 0.03},
                                                  {AcCategory::Rotorcraft, 0.03}},
                                                 degreesToRadians);
  return table.at(category);
}

double gf_maxClimbStep(AcCategory category) {
  static const CategoryValues table = lf_tableOf({{AcCategory::Light, 0.5},
                                                  {AcCategory::Buzjets, 0.75},
                                                  {AcCategory::Large, 0.6},
                                                  {AcCategory::Heavy, 0.5},
                                                  {AcCategory::HighPerf, 1.0},
                                                  {AcCategory::Rotorcraft, 0.75}},
                                                 1.0);
  return table.at(category);
}

double gf_standTaxiSpeed(AcCategory category) {
  static const CategoryValues table = lf_tableOf({{AcCategory::Light, 5.0},
                                                  {AcCategory::Buzjets, 4.5},
                                                  {AcCategory::Large, 4.0},
                                                  {AcCategory::Heavy, 3.0},
                                                  {AcCategory::HighPerf, 4.5},
                                                  {AcCategory::Rotorcraft, 5.0}},
                                                 1.0);
  return table.at(category);
}

}  // namespace cvl

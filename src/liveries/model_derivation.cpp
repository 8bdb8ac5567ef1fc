#include "liveries/model_derivation.h"

#include <fmt/format.h>

#include <algorithm>

#include "foundation/strings.h"
#include "liveries/fltsim_lines.h"
#include "liveries/scan_reports.h"
#include "refdata/aircraft_database.h"

namespace cvl {

const StockModelTable StockModelTypes = lf_initStockModelTypes();

namespace {

// The relative prefix "..\" of a base_container value, which points from the package to the stock aircraft.
constexpr std::size_t relativePrefixLength = 3;

}  // namespace

StockModelTable lf_initStockModelTypes() {
  return {{"Asobo_FlightDesignCT", "FDCT"},
          {"Asobo_Longitude", "C700"},
          {"Asobo_VL3", "VL3"},
          {"Asobo_Savage_Cub", "SAVG"},
          {"Asobo_Savage_ShockUltra", "SAVG"},
          {"Asobo_XCub", "CC19"},
          {"Asobo_Pitts", "PTS2"},
          {"Asobo_SR22", "SR22"},
          {"Asobo_Icon", "A5"},
          {"Asobo_TBM930", "TBM9"},
          {"Asobo_KingAir350", "B350"},
          {"Asobo_E330", "E300"},
          {"Asobo_DV20", "DV20"},
          {"Asobo_DR400", "DR40"},
          {"Asobo_DA62", "DA62"},
          {"Asobo_DA40_TDI", "DA40"},
          {"Asobo_DA40_NG", "DA40"},
          {"Asobo_Cap10C", "CP10"},
          {"Asobo_CJ4", "C25C"},
          {"Asobo_C152", "C152"},
          {"Asobo_C152_Aerobat", "C152"},
          {"Asobo_C172sp_AS1000", "C172"},
          {"Asobo_C172sp_classic", "C172"},
          {"Asobo_Bonanza_G36", "BE36"},
          {"Asobo_Baron_G58", "B58T"},
          {"Asobo_B747_8i", "B748"},
          {"Asobo_B787_10", "B78X"},
          {"Asobo_208B_GRAND_CARAVAN_EX", "C208"},
          {"Asobo_A320_NEO", "A20N"},
          {"FlyByWire_A320_NEO", "A20N"}};
}

std::string lf_matchBaseContainer(std::string_view line) {
  const auto value = lf_matchKeyValue(line, "base_container");
  if (!value || value->size() < relativePrefixLength + 1) {
    return {};
  }
  const auto stock = StockModelTypes.find(value->substr(relativePrefixLength));
  return stock == StockModelTypes.end() ? std::string{} : gf_asciiUpper(stock->second);
}

void lf_reportInvalidModel(std::string_view code, const std::filesystem::path& path) {
  InvalidModelCodes.add(fmt::format("{:16} in {}", code, path.string()));
}

std::string lf_resolveModelCode(const std::string& code, const std::filesystem::path& path) {
  if (KnownTypes.contains(code)) {
    return code;
  }
  if (const auto fix = TypeFixes.find(code); fix != TypeFixes.end()) {
    lf_addFixLine(fmt::format("Model fix: {} found in {} changed into {}", code, path.string(), fix->second));
    return fix->second;
  }
  lf_reportInvalidModel(code, path);
  return {};
}

std::string lf_getModelOfCfg(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  for (const auto& line : lines) {
    if (auto code = lf_matchTypeDesignator(line); !code.empty()) {
      return lf_resolveModelCode(code, path);
    }
  }
  return lf_modelFixes(path, lines);
}

std::string lf_modelFixes(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  for (const auto& line : lines) {
    if (auto code = lf_matchBaseContainer(line); !code.empty()) {
      return lf_resolveModelCode(code, path);
    }
  }
  const auto pathText = path.string();
  if (pathText.find("pmdg-aircraft-7") == std::string::npos && pathText.find("fnx-aircraft-3") == std::string::npos) {
    lf_addInvalidCfgLine("Line icao_type_designator= is missing in [General] section of " + pathText);
  }
  return {};
}

}  // namespace cvl

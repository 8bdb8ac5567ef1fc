// The deduction of the user aircraft's ICAO type, half wing span and category from the simulator's "ATC MODEL".
#include <fmt/format.h>

#include <array>
#include <optional>
#include <utility>

#include "app/main_window.h"
#include "app/status_line.h"
#include "engine/ac_enums.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/user_error.h"
#include "refdata/aircraft_database.h"
#include "refdata/dbase_queries.h"
#include "simlink/user_aircraft.h"

namespace cvl {
namespace {

constexpr double metresPerNauticalMile = 1852.0;
// Models of this length and above are not type codes.
constexpr std::size_t shortestUntypedModel = 5;

// Whether the database knows the type. gf_halfWingspan answers every text (with its category's average), so its
// value cannot tell a type from any other text.
bool lf_isKnownType(std::string_view type) {
  return HalfWingspanTable.byType.contains(type) || gf_isKnownType(type);
}

// Rows of a text and the type it stands for.
using TypeRows = std::array<std::pair<std::string_view, std::string_view>, 4>;

// The type of the first row whose text the test accepts.
template <class Test>
std::optional<std::string> lf_typeOfFirstRow(const TypeRows& rows, Test accepts) {
  for (const auto& [text, type] : rows) {
    if (accepts(text)) {
      return std::string(type);
    }
  }
  return std::nullopt;
}

// Models some aircraft announce that are no ICAO type codes.
std::optional<std::string> lf_fixedModel(std::string_view model) {
  static constexpr TypeRows fixes{{
      {"A350-900", "A359"},
      {"N738B", "B38M"},
      {"777", "772"},
      {"A330-200 (RR)", "A332"},
  }};
  return lf_typeOfFirstRow(fixes, [model](std::string_view announced) { return model == announced; });
}

// A model such as "ATCCOM.AC_MODEL_B738.0.text": the type stands right before ".0.text".
std::optional<std::string> lf_modelBeforeTextSuffix(std::string_view model) {
  constexpr std::string_view suffix = ".0.text";
  const auto position = model.find(suffix);
  if (model.size() <= 6 || position == std::string_view::npos) {
    return std::nullopt;
  }
  for (const std::size_t length : {4U, 3U, 2U}) {
    if (position >= length) {
      const auto candidate = model.substr(position - length, length);
      if (lf_isKnownType(candidate)) {
        return std::string(candidate);
      }
    }
  }
  return std::string(model);
}

// The model "737" of a title that names the variant.
std::string lf_dgSeven37(std::string_view title) {
  static constexpr TypeRows variants{{
      {"DG 737-800", "B738"},
      {"DG 737-700", "B737"},
      {"DG 737-600", "B736"},
      {"DG 737-900", "B739"},
  }};
  return lf_typeOfFirstRow(variants,
                           [title](std::string_view marker) { return title.find(marker) != std::string_view::npos; })
      .value_or("737");
}

std::string lf_rewrittenModel(std::string_view model) {
  if (auto fixed = lf_fixedModel(model)) {
    return *fixed;
  }
  if (auto beforeSuffix = lf_modelBeforeTextSuffix(model)) {
    return *beforeSuffix;
  }
  if (model.starts_with("$$:") && model.size() > 4) {
    return std::string(model.substr(3));
  }
  if (model == "737") {
    return lf_dgSeven37(userAcTitle);
  }
  return std::string(model);
}

// The Aerosoft Airbus family announces no usable model; its title names the type.
std::optional<std::string> lf_typeFromTitle() {
  for (const std::string_view type : {"A319", "A320", "A321"}) {
    if (userAcTitle.starts_with(fmt::format("Aerosoft {}", type))) {
      return std::string(type);
    }
  }
  return std::nullopt;
}

void lf_showTypeMark(bool known) {
  mainWindow.userTypeMark = known;
  gf_invalidateBand(rcHeader);
}

// The half span of a type the database knows; nothing for any other text, or when the database has no span for it.
std::optional<double> lf_knownHalfSpan(std::string_view type) {
  const double halfSpan = gf_halfWingspan(type);
  if (!lf_isKnownType(type) || halfSpan <= 0.0) {
    return std::nullopt;
  }
  return halfSpan;
}

double lf_halfSpanOrMax(std::string_view type) {
  const double halfSpan = gf_halfWingspan(type);
  return halfSpan != 0.0 ? halfSpan : maxHalfWingspan;
}

void lf_onEmptyModel() {
  mainWindow.userAcTitleText = std::string("Unknown (encrypted?) aircraft");
  gf_invalidateBand(rcHeader);
  gf_setStatusLine("171: No model info from your user aircraft received in SimConnect, CRJ7 is taken instead", true);
  userHalfSpanNm = lf_halfSpanOrMax("CRJ7");
  userTypeKnown = true;
}

// Camera drones and ships: the size of a small jet keeps the parked traffic clear of them.
void lf_onVehicleWithoutType(const std::string& logLine) {
  lf_showTypeMark(true);
  userHalfSpanNm = gf_halfWingspan("E190");
  userTypeKnown = true;
  userCategory = AcCategory::Light;
  gf_logIndented(logLine);
}

void lf_deduceType(std::string_view rawModel) {
  if (rawModel.empty()) {
    lf_onEmptyModel();
    return;
  }
  gf_logIndented(fmt::format("model raw: {}", gf_excerpt(rawModel)));
  std::string model = lf_rewrittenModel(rawModel);
  std::string logLine = fmt::format("SimConnect: User aircraft model: {}", gf_excerpt(model));
  if (model.find("camerapod") != std::string::npos || model.find("Crew Vessel") != std::string::npos) {
    lf_onVehicleWithoutType(logLine);
    return;
  }
  std::optional<double> halfSpan =
      model.size() < shortestUntypedModel ? lf_knownHalfSpan(model) : std::optional<double>{};
  if (!halfSpan) {
    if (auto fromTitle = lf_typeFromTitle()) {
      model = *fromTitle;
      logLine = fmt::format("SimConnect: User aircraft model deduced from title: {}", gf_excerpt(model));
      halfSpan = lf_knownHalfSpan(model);
    }
  }
  userHalfSpanNm = halfSpan.value_or(maxHalfWingspan);
  userTypeKnown = true;
  lf_showTypeMark(halfSpan.has_value());
  if (halfSpan) {
    logLine += fmt::format(", half wing span: {:.1F} meter", *halfSpan * metresPerNauticalMile);
  } else {
    gf_setStatusLine("User aircraft wing span unknown, max is taken instead, please report in my Forum!", true);
  }
  userCategory = gf_aircraftCategory(model);
  logLine += fmt::format(", category: {}", categoryName(userCategory));
  gf_logIndented(logLine);
}

}  // namespace

void lf_onUserAcModel(std::string_view model) {
  try {
    lf_deduceType(model);
  } catch (const UserErrorException&) {
    throw;
  } catch (const std::exception&) {
    throw UserErrorException(73, "It looks like you have not selected an aircraft as user vehicle");
  }
}

}  // namespace cvl

#include "simlink/flight_plan_file.h"

#include <fmt/format.h>

#include <string>

#include "foundation/text_files.h"

namespace cvl {
namespace {

bool lf_flownByInstruments(AcCategory category) {
  return category == AcCategory::Buzjets || category == AcCategory::Large || category == AcCategory::Heavy;
}

// The codes come from the traffic service: whatever they hold stays text inside the XML.
std::string lf_xmlEscaped(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&apos;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string lf_planText(const AcIdentity& identity) {
  return fmt::format(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<SimBase.Document Type=\"AceXML\" version=\"4,3\">\n"
      "<FlightPlan.FlightPlan>\n"
      "<FPType>{}</FPType>\n"
      "<DepartureID>{}</DepartureID>\n"
      "<DestinationID>{}</DestinationID>\n"
      "</FlightPlan.FlightPlan>\n"
      "</SimBase.Document>\n"
      "\n",
      lf_flownByInstruments(identity.category) ? "IFR" : "VFR", lf_xmlEscaped(identity.origin),
      lf_xmlEscaped(identity.destination));
}

}  // namespace

std::filesystem::path gf_flightPlanPath(std::uint32_t number) {
  return fmt::format("{}.pln", number);
}

bool gf_writeFlightPlan(const std::filesystem::path& path, const AcIdentity& identity) {
  return gf_writeTextFile(lf_planText(identity), path, false);
}

}  // namespace cvl

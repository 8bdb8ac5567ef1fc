// Arbitrary text as airports.xml, sealed and read the way the start-up reads it, then searched. Nothing may crash, the
// plain file must be gone afterwards, and the list must be sorted and hold only coded airports on Earth.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "foundation/constants.h"
#include "foundation/user_error.h"
#include "fuzz_support.h"
#include "refdata/airports_database.h"
#include "refdata/data_file_sealing.h"

namespace {

using cvl::fuzz::asText;
using cvl::fuzz::check;

double noFile(const cvl::Airport& airport, const cvl::LatLon&, std::string& standId) {
  standId = airport.code;
  return static_cast<double>(airport.code.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool folderMade = std::filesystem::create_directories(cvl::inputFolder) || true;
  if (!folderMade) {
    return 0;
  }
  const std::string_view xml = asText(data, size);
  cvl::gf_writeSealedDataFile(cvl::airportsEncPath, xml);
  cvl::gf_forgetAirports();
  try {
    cvl::gf_readAirports();
  } catch (const cvl::UserErrorException&) {
    check(cvl::AirportList.empty());
  }
  check(!std::filesystem::exists(cvl::airportsXmlPath));
  check(std::is_sorted(cvl::AirportList.begin(), cvl::AirportList.end(),
                       [](const cvl::Airport& a, const cvl::Airport& b) { return a.code < b.code; }));
  for (const auto& airport : cvl::AirportList) {
    check(!airport.code.empty() && std::abs(airport.lat) <= 90.0 && std::abs(airport.lon) <= 180.0);
    check(cvl::gf_findAirportByCode(airport.code) != nullptr && cvl::gf_isAirportCode(airport.code));
    cvl::gf_findAirportByPrefix(airport.code);
    check(!cvl::gf_findAirportByPath("/scenery/x-" + airport.code + "-y").empty());
    cvl::gf_closestAirport({airport.lat, airport.lon}, noFile);
  }
  return 0;
}

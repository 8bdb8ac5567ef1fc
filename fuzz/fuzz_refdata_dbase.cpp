// Arbitrary text as dbase.xml, sealed and read the way the start-up reads it. Nothing may crash, the plain file must
// be gone afterwards, and the tables must hold no empty key or name and no wingspan that is not a finite number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string_view>

#include "foundation/constants.h"
#include "fuzz_support.h"
#include "refdata/aircraft_database.h"
#include "refdata/data_file_sealing.h"
#include "refdata/dbase_queries.h"
#include "refdata/registration_lookup.h"

namespace {

using cvl::fuzz::asText;
using cvl::fuzz::check;

void checkTables() {
  check(std::isfinite(cvl::maxHalfWingspan));
  for (const double average : cvl::HalfWingspanTable.categoryAverage) {
    check(std::isfinite(average));
  }
  for (const auto& names : cvl::Publishers) {
    check(!names.empty() && !names.front().empty());
  }
  check(!cvl::RegistrationTable.contains(""));
  for (const auto& type : cvl::KnownTypes) {
    check(!type.empty() && std::isfinite(cvl::gf_halfWingspan(type)));
    cvl::gf_findPublisher(type);
  }
  for (const auto& [registration, record] : cvl::RegistrationTable) {
    check(cvl::gf_findDbaseRecord(registration).has_value());
    cvl::gf_findShortRegIn(record.opr);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool folderMade = std::filesystem::create_directories(cvl::inputFolder) || true;
  if (!folderMade) {
    return 0;
  }
  const std::string_view xml = asText(data, size);
  cvl::gf_writeSealedDataFile(cvl::dbaseEncPath, xml);
  try {
    cvl::gf_readDbase();
  } catch (const std::exception&) {
    // An empty list section: reported to the user, the tables are not used.
  }
  check(!std::filesystem::exists(cvl::dbaseXmlPath));
  checkTables();
  return 0;
}

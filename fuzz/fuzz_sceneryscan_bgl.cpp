// Arbitrary bytes as a BGL scenery file, tested and decoded the way a scan task does it (in both simulator modes, by
// the last byte). Nothing may crash or read outside the file (the sanitizers watch), and every generated airport file
// must belong to an airport of the database.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "app/sim_choice.h"
#include "fuzz_support.h"
#include "refdata/airports_database.h"
#include "sceneryscan/bgl_decoder.h"
#include "sceneryscan/scan_log.h"

namespace {

using cvl::fuzz::check;

bool lf_knowAirports() {
  for (const auto* code : {"EDDF", "EGLL", "LOWW"}) {
    cvl::Airport airport;
    airport.code = code;
    cvl::AirportList.push_back(airport);
    cvl::AirportCodes.insert(code);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = lf_knowAirports();
  check(ready);
  const std::filesystem::path bgl{"scenery.bgl"};
  cvl::fuzz::writeWholeFile(bgl, cvl::fuzz::asText(data, size));
  cvl::msfs2020Mode = size == 0 || (data[size - 1] & 1U) != 0;
  std::filesystem::remove_all("airports");
  cvl::lf_hasAirportSection(bgl);
  cvl::lf_processBGLfile(bgl);
  cvl::lf_takeScanLogLines();
  if (std::filesystem::exists("airports/my_thirdparty")) {
    for (const auto& entry : std::filesystem::directory_iterator("airports/my_thirdparty")) {
      check(cvl::gf_isAirportCode(entry.path().stem().string()));
    }
  }
  return 0;
}

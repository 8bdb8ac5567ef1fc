// Arbitrary bytes as a BGL scenery file, tested and decoded the way a scan task does it (in both simulator modes, by
// the last byte). Nothing may crash or read outside the file (the sanitizers watch), and every generated airport file
// must belong to an airport of the database.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/sim_choice.h"
#include "refdata/airports_database.h"
#include "sceneryscan/bgl_decoder.h"
#include "sceneryscan/scan_log.h"

namespace {

void check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

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
  {
    std::ofstream file(bgl, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
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

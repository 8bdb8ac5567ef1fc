// Arbitrary bytes as an aircraft.cfg of an AI package, read by the ordinary reader and by the IVAO reader. Nothing may
// crash, and every livery read has a title, a model and an airline.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "liveries/aircraft_cfg.h"
#include "liveries/mtl_reader.h"
#include "liveries/scan_reports.h"
#include "refdata/aircraft_database.h"

namespace {

namespace fs = std::filesystem;

// The two files of this process, removed when the fuzzer ends.
struct ScratchPackage {
  fs::path root = fs::temp_directory_path() / ("corvalen-fuzz-cfg-" + std::to_string(::getpid()));
  fs::path ordinary = root / "pkg" / "SimObjects" / "Airplanes" / "A320" / "aircraft.cfg";
  fs::path ivao = root / "IVAO_MTL" / "SimObjects" / "Airplanes" / "IVAO_A320" / "aircraft.cfg";

  ScratchPackage() {
    fs::create_directories(ordinary.parent_path());
    fs::create_directories(ivao.parent_path() / "texture.");
    fs::create_directories(ivao.parent_path() / "texture.DLH");
    cvl::KnownTypes = {"A320", "B738", "B77L"};
    cvl::HeavyTypes = {"B77L"};
    cvl::IcaoAirlines = {"DLH", "KLM"};
    cvl::TypeFixes = {{"B77F", "B77L"}};
  }
  ~ScratchPackage() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
};

const ScratchPackage& scratch() {
  static const ScratchPackage package;
  return package;
}

void write(const fs::path& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void check(const cvl::LiveryList& liveries) {
  for (const auto& livery : liveries) {
    if (livery.title.empty() || livery.type.empty() || livery.airl.empty()) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& package = scratch();
  write(package.ordinary, data, size);
  write(package.ivao, data, size);
  check(cvl::lf_searchLiveriesinFile(1, package.ordinary));
  check(cvl::lf_searchLiveriesinIVAOFile(2, package.ivao));
  cvl::lf_clearScanReports();
  return 0;
}

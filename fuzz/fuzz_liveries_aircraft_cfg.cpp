// Arbitrary bytes as an aircraft.cfg of an AI package, read by the ordinary reader and by the IVAO reader. Nothing may
// crash, and every livery read has a title, a model and an airline.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz_support.h"
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

void checkLiveries(const cvl::LiveryList& liveries) {
  for (const auto& livery : liveries) {
    cvl::fuzz::check(!livery.title.empty() && !livery.type.empty() && !livery.airl.empty());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& package = scratch();
  const std::string_view bytes = cvl::fuzz::asText(data, size);
  cvl::fuzz::writeWholeFile(package.ordinary, bytes);
  cvl::fuzz::writeWholeFile(package.ivao, bytes);
  checkLiveries(cvl::lf_searchLiveriesinFile(1, package.ordinary));
  checkLiveries(cvl::lf_searchLiveriesinIVAOFile(2, package.ivao));
  cvl::lf_clearScanReports();
  return 0;
}

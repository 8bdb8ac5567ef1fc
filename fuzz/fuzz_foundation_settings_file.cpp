// Arbitrary bytes as parameters.xml: the settings are read (and the file written back or made anew), then one setting
// is saved on top of the same bytes. Nothing may crash, numbers stay in their ranges, and the file left behind loads.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <pugixml.hpp>
#include <string>

#include "foundation/constants.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "fuzz_support.h"

namespace {

using cvl::fuzz::check;

// A roaming folder of this process's own, removed when the fuzzer ends.
const std::filesystem::path& settingsFile() {
  static const std::filesystem::path path = [] {
    const auto home = std::filesystem::temp_directory_path() / ("corvalen-fuzz-settings-" + std::to_string(::getpid()));
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    std::filesystem::create_directories(cvl::appDataFolder());
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(cvl::appDataFolder().parent_path(), ignored);
    });
    return cvl::parametersPath();
  }();
  return path;
}

void writeBytes(const std::uint8_t* data, std::size_t size) {
  cvl::fuzz::writeWholeFile(settingsFile(), cvl::fuzz::asText(data, size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  writeBytes(data, size);
  cvl::gf_readParameters();
  for (const auto* setting : cvl::intRegistry) {
    check(setting->value >= setting->minValue && setting->value <= setting->maxValue);
  }
  pugi::xml_document document;
  check(document.load_file(settingsFile().c_str()));

  writeBytes(data, size);
  cvl::gf_saveIntParameter(cvl::RANGE);
  check(document.load_file(settingsFile().c_str()));
  return 0;
}

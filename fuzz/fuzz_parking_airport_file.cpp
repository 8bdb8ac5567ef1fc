// Arbitrary text as the park airport's airport file and, after the first NUL byte, as its learned file: read, left
// (which saves the learned file) and read again. Nothing may crash, the stands must be numbered with their neighbours
// among them, every option kept must be usable, a second visit holds no stand the first did not, and a handmade
// learned file that could not be read whole is left as it was.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_set>

#include "foundation/constants.h"
#include "foundation/settings_file.h"
#include "foundation/user_error.h"
#include "fuzz_support.h"
#include "parking/current_park_airport.h"
#include "parking/learned_files.h"
#include "parking/park_airport_file.h"
#include "refdata/airports_database.h"

namespace {

using cvl::fuzz::check;

// A learned file whose publisher makes an overlong folder name is not written: there is no such folder to read from.
void writeBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code noFolder;
  std::filesystem::create_directories(path.parent_path(), noFolder);
  if (noFolder) {
    return;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  check(file != nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::string readBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

const std::string airportFileName = "airports/my_thirdparty/ZZZZ.xml";

// Reads the park airport's files; the number of stands read, or nothing when the reading refused them.
std::size_t readStands() {
  try {
    cvl::gf_readApf(airportFileName, cvl::parkAirportFile, cvl::parkQualityFactors, cvl::parkPositions);
  } catch (const cvl::UserErrorException&) {
    return 0;
  }
  std::unordered_set<std::string> ids;
  for (std::size_t index = 0; index < cvl::parkPositions.size(); ++index) {
    const cvl::ParkPos& stand = cvl::parkPositions[index];
    check(stand.sid == index + 1);
    check(!stand.id.empty() && ids.insert(stand.id).second);
    check(std::abs(stand.latitude) <= 90.0 && std::abs(stand.longitude) <= 180.0 && stand.radius >= 0.0);
    for (const std::uint32_t neighbour : stand.neighbours) {
      check(neighbour >= 1 && neighbour <= cvl::parkPositions.size() && neighbour != stand.sid);
    }
    for (const cvl::StandOption& option : stand.options) {
      check(option.id != 0 && option.day >= 1 && option.day <= 7 && option.hh.any());
    }
  }
  return cvl::parkPositions.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool prepared = [] {
    setenv("XDG_CONFIG_HOME", (std::filesystem::current_path() / "config").c_str(), 1);
    std::filesystem::create_directories(cvl::appDataFolder());
    cvl::AirportList = {cvl::Airport{"ZZZZ", "ZZZ", 50.0, 8.5, 364.0, 1}};
    return true;
  }();
  check(prepared);
  std::filesystem::remove_all(cvl::airportsFolder);
  const std::string_view input = cvl::fuzz::asText(data, size);
  const auto split = input.find('\0');
  const std::string_view airportFile = input.substr(0, split);
  writeBytes(airportFileName, airportFile);
  pugi::xml_document document;
  document.load_buffer(airportFile.data(), airportFile.size());
  const std::string publisher = cvl::gf_getStringParameter(document, cvl::publisherKey).value_or("");
  const auto learnedPath = cvl::lf_learnedPathOf(cvl::AirportList.front().code, publisher);
  check(learnedPath.lexically_normal().string().rfind(cvl::learnedFolder.string() + "/", 0) == 0);
  if (split != std::string_view::npos) {
    writeBytes(learnedPath, input.substr(split + 1));
  }

  cvl::currentParkAirport = cvl::AirportList.front();
  const std::size_t first = readStands();
  const bool handmadeUnread = cvl::handmadeFileUnread;
  cvl::gf_resetParkAirport();
  check(!handmadeUnread || readBytes(learnedPath) == input.substr(split + 1));
  const std::size_t second = readStands();
  check(second <= first || first == 0);
  cvl::gf_resetParkAirport();
  cvl::parkPositions.clear();
  return 0;
}

// bglgen DESCRIPTION.json OUT.bgl: writes the BGL scenery file that the JSON description of its airports stands for.
#include <fmt/format.h>

#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "bglgen/airport_description.h"
#include "bglgen/bgl_writer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fmt::print(stderr, "usage: bglgen DESCRIPTION.json OUT.bgl\n");
    return 2;
  }
  try {
    std::ifstream input(argv[1], std::ios::binary);
    if (!input) {
      fmt::print(stderr, "bglgen: cannot read {}\n", argv[1]);
      return 1;
    }
    const std::string json{std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
    const auto bytes = cvl::bglgen::airportsFile(cvl::bglgen::readAirportDescription(json));
    // Written under a temporary name first, so that a failed write leaves an earlier file whole.
    const std::filesystem::path target{argv[2]};
    auto temporary = target;
    temporary += ".tmp";
    std::ofstream output(temporary, std::ios::binary | std::ios::trunc);
    output.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    output.close();
    std::error_code failure;
    if (output) {
      std::filesystem::rename(temporary, target, failure);
    }
    if (!output || failure) {
      std::filesystem::remove(temporary, failure);
      fmt::print(stderr, "bglgen: cannot write {}\n", argv[2]);
      return 1;
    }
    return 0;
  } catch (const std::exception& failure) {
    fmt::print(stderr, "bglgen: {}\n", failure.what());
    return 1;
  }
}

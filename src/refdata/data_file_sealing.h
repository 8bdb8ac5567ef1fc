#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "refdata/data_file_key.h"

// The maker's side of the .enc format, in memory: the tests, benchmarks and fuzz targets of the readers make their
// data files with it. The program itself only decrypts.
namespace cvl {

// The plain bytes as one secret stream: the header, one message per 4096 plain bytes, the last one (possibly empty)
// tagged FINAL. Throws std::runtime_error when libsodium cannot be started.
std::string gf_sealDataBytes(std::string_view plain, std::span<const std::uint8_t, dataFileKeyBytes> key = dataFileKey);

// Writes gf_sealDataBytes of the plain bytes to the file, replacing it. Throws std::runtime_error when it cannot.
void gf_writeSealedDataFile(const std::filesystem::path& path, std::string_view plain,
                            std::span<const std::uint8_t, dataFileKeyBytes> key = dataFileKey);

}  // namespace cvl

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include "refdata/data_file_key.h"

namespace cvl::datatool {

// Encrypts a plain file into the .enc form the program downloads: the 24-byte secret-stream header
// (XChaCha20-Poly1305, no additional data), then one message per 4096 plain bytes, the last one (possibly empty)
// tagged FINAL. The output replaces encPath only when complete. Throws std::runtime_error.
void encryptDataFile(const std::filesystem::path& plainPath, const std::filesystem::path& encPath,
                     std::span<const std::uint8_t, dataFileKeyBytes> key = dataFileKey);

}  // namespace cvl::datatool

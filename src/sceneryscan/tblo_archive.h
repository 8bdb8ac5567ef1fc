#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "foundation/zip_archive.h"

// The archive tblo/tblo.zip of the thirdparty airports whose stands the add-on scan had to generate because the
// maker's archive does not hold them yet. The user mails it to the maker, who learns the airports off line and adds
// them to the archive.
namespace cvl {

// The number of airport files packed into the archive by the last scan; 0 while there is none.
extern std::atomic<std::uint64_t> tbloReady;

// Where the user sends the archive.
inline const std::string supportMailAddress{"support@corvalen.example"};

// Collects the generated thirdparty airport files (codes: the stems of the .xml files of airports/my_thirdparty) that
// name a publisher into the tblo folder and packs them into the archive; on success only the archive stays there,
// tbloReady counts the files and the "tblo" button is enabled. Nothing happens without codes.
void lf_prepareOfflineLearning(const std::vector<std::string>& codes);

// Packs the regular files of the tblo folder (the archive itself excepted) into the archive at zipPath. An archive of
// that name is replaced only when the new one has been written whole. True when it holds at least one file.
bool lf_zipFolder(const std::filesystem::path& zipPath);

// The whole file; nothing when it cannot be opened or read whole.
std::optional<std::string> lf_readFileBytes(const std::filesystem::path& path);

// Writes the archive (an archive without entries is dropped, so that it cannot replace an earlier one) and reports.
// True when it was written with count entries and is not empty.
bool lf_zipReport(ZipArchive& archive, const std::filesystem::path& zipPath, std::size_t count);

}  // namespace cvl

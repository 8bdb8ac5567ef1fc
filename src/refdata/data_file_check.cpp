#include "refdata/data_file_check.h"

#include <fmt/format.h>

#include <functional>
#include <gsl/util>
#include <stdexcept>
#include <system_error>

#include "foundation/constants.h"
#include "foundation/log.h"
#include "refdata/aircraft_database.h"
#include "refdata/airports_database.h"
#include "refdata/decryption.h"
#include "refdata/registration_files.h"
#include "refdata/update_failures.h"

namespace cvl {
namespace {

using PlainReading = std::function<bool(const std::filesystem::path&)>;

// Why the decryption says nothing of the data file, to follow its name: " (<reason>)" when it could not be read,
// ": cannot write <plain file> (<reason>)" when its plain text could not be written.
std::string lf_whyUntried(const std::filesystem::path& plainPath, const DecryptOutcome& decryption) {
  if (decryption.readFailure) {
    return fmt::format(" ({})", decryption.readFailure.message());
  }
  return fmt::format(": cannot write {} ({})", plainPath.string(), decryption.writeFailure.message());
}

// Decrypts the file into a plain file beside it and reads that; the plain file is removed on every path.
DataFileState lf_readsLikeAtStartUp(const std::filesystem::path& encPath, const PlainReading& read) {
  auto plainPath = encPath;
  plainPath += ".xml";
  const auto removePlainFile = gsl::finally([&plainPath] { gf_removeFile(plainPath); });
  const auto decryption = gf_streamDecrypt(encPath, plainPath);
  if (decryption.untried()) {
    gf_logFlagged(fmt::format("{} could not be checked{}", encPath.string(), lf_whyUntried(plainPath, decryption)));
    return DataFileState::notTried;
  }
  if (!decryption) {
    return DataFileState::damaged;
  }
  try {
    return read(plainPath) ? DataFileState::usable : DataFileState::damaged;
  } catch (const std::exception& failure) {
    gf_logFlagged(fmt::format("{} not usable: {}", plainPath.string(), failure.what()));
    return DataFileState::damaged;
  }
}

}  // namespace

DataFileState gf_dbaseFileState(const std::filesystem::path& encPath) {
  return lf_readsLikeAtStartUp(encPath, gf_dbaseXmlReadable);
}

DataFileState gf_airportsFileState(const std::filesystem::path& encPath) {
  return lf_readsLikeAtStartUp(encPath, gf_airportsXmlReadable);
}

DataFileState gf_aigRegcodesFileState(const std::filesystem::path& encPath) {
  return lf_readsLikeAtStartUp(encPath, gf_aigRegcodesXmlReadable);
}

void gf_requireSearchableFolder(const std::filesystem::path& folder) {
  std::error_code failure;
  // The folder's own entry "." is reached only through the folder, as every file in it is.
  const auto status = std::filesystem::status(folder / ".", failure);
  if (failure && status.type() != std::filesystem::file_type::not_found) {
    throw std::runtime_error(fmt::format("{}/ could not be read ({})", folder.string(), failure.message()));
  }
}

bool gf_dataFileExists(const std::filesystem::path& file) {
  std::error_code failure;
  const auto status = std::filesystem::status(file, failure);
  if (!failure || status.type() == std::filesystem::file_type::not_found) {
    return std::filesystem::exists(status);
  }
  gf_requireSearchableFolder(file.parent_path());
  throw std::runtime_error(fmt::format("{} could not be read ({})", file.string(), failure.message()));
}

std::string gf_unusableDataFileText(const std::filesystem::path& encPath) {
  if (!gf_dataFileExists(encPath)) {
    return fmt::format("{} not available", encPath.string());
  }
  return fmt::format("{} is damaged and will be downloaded again at the next start", encPath.string());
}

std::optional<std::string> gf_decryptForReading(const std::filesystem::path& encPath,
                                                const std::filesystem::path& plainPath) {
  if (!gf_dataFileExists(encPath)) {
    return gf_unusableDataFileText(encPath);
  }
  const auto decryption = gf_streamDecrypt(encPath, plainPath);
  if (decryption) {
    return std::nullopt;
  }
  if (decryption.untried()) {
    return fmt::format("{} could not be read{}", encPath.string(), lf_whyUntried(plainPath, decryption));
  }
  return gf_unusableDataFileText(encPath);
}

bool gf_decryptAigRegcodes() {
  const auto failure = gf_decryptForReading(aigRegcodesEncPath, aigRegcodesXmlPath);
  if (!failure) {
    return true;
  }
  if (gf_dataFileExists(aigRegcodesEncPath)) {
    gf_reportUpdateFailure(aigRegcodesEncPath, *failure);
  }
  return false;
}

}  // namespace cvl

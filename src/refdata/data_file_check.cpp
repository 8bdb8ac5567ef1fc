#include "refdata/data_file_check.h"

#include <fmt/format.h>

#include <functional>
#include <gsl/util>

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

// Decrypts the file into a plain file beside it and reads that; the plain file is removed on every path.
bool lf_readsLikeAtStartUp(const std::filesystem::path& encPath, const PlainReading& read) {
  auto plainPath = encPath;
  plainPath += ".xml";
  const auto removePlainFile = gsl::finally([&plainPath] { gf_removeFile(plainPath); });
  if (!gf_streamDecrypt(encPath, plainPath)) {
    return false;
  }
  try {
    return read(plainPath);
  } catch (const std::exception& failure) {
    gf_logFlagged(fmt::format("{} not usable: {}", plainPath.string(), failure.what()));
    return false;
  }
}

}  // namespace

bool gf_dbaseFileUsable(const std::filesystem::path& encPath) {
  return lf_readsLikeAtStartUp(encPath, gf_dbaseXmlReadable);
}

bool gf_airportsFileUsable(const std::filesystem::path& encPath) {
  return lf_readsLikeAtStartUp(encPath, gf_airportsXmlReadable);
}

bool gf_aigRegcodesFileUsable(const std::filesystem::path& encPath) {
  return lf_readsLikeAtStartUp(encPath, gf_aigRegcodesXmlReadable);
}

std::string gf_unusableDataFileText(const std::filesystem::path& encPath) {
  if (!std::filesystem::exists(encPath)) {
    return fmt::format("{} not available", encPath.string());
  }
  return fmt::format("{} is damaged and will be downloaded again at the next start", encPath.string());
}

bool gf_decryptAigRegcodes() {
  if (gf_streamDecrypt(aigRegcodesEncPath, aigRegcodesXmlPath)) {
    return true;
  }
  if (std::filesystem::exists(aigRegcodesEncPath)) {
    gf_reportUpdateFailure(gf_unusableDataFileText(aigRegcodesEncPath));
  }
  return false;
}

}  // namespace cvl

#include "refdata/update_failures.h"

#include <fmt/format.h>

#include "app/exit_reasons.h"
#include "app/status_line.h"
#include "foundation/log.h"

namespace cvl {
namespace {

bool lf_isInstalled(const std::filesystem::path& kept) {
  std::error_code error;
  if (std::filesystem::is_directory(kept, error)) {
    return !std::filesystem::is_empty(kept, error) && !error;
  }
  return std::filesystem::exists(kept, error);
}

}  // namespace

void gf_reportUpdateFailure(const std::filesystem::path& kept, std::string_view text) {
  if (gf_stopping()) {
    return;
  }
  if (gf_holdStatusNotice(kept.string(), text)) {
    gf_logFlagged(text);
  }
}

void gf_reportComponentUpdateFailed(std::string_view key, const VersionData& webVersion,
                                    const std::filesystem::path& kept) {
  gf_reportUpdateFailure(kept, fmt::format("{} update to {} failed, {} {}", key, webVersion.toString(), kept.string(),
                                           lf_isInstalled(kept) ? "left as it was" : "not installed"));
}

void gf_reportRepairFailed(std::string_view key, const std::filesystem::path& damaged) {
  gf_reportUpdateFailure(damaged, fmt::format("{} repair failed, {} is still damaged", key, damaged.string()));
}

}  // namespace cvl

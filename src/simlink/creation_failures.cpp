#include "simlink/creation_failures.h"

#include <fmt/format.h>

#include <algorithm>

#include "app/exit_reasons.h"
#include "app/status_line.h"
#include "engine/no_match_set.h"
#include "foundation/log.h"
#include "foundation/user_error.h"

namespace cvl {

std::vector<std::string> FailedTitles;
std::set<std::string> failedCreations;

namespace {

constexpr std::size_t tooManyFailedTitles = 20;

}  // namespace

void gf_reportCreationFailure(const AcIdentity& identity) {
  if (gf_stopping()) {
    return;
  }
  gf_setStatusLine(fmt::format("{} '{}' could not be created by your Sim!", identity.callsign, identity.liveryTitle),
                   true);
  FailedTitles.emplace_back(identity.liveryTitle);
  failedCreations.insert(fmt::format("{} {}", identity.type, identity.airline));
  if (FailedTitles.size() >= tooManyFailedTitles) {
    const std::string text = fmt::format("There are too many liveries that could not be created by {}!", "MSFS");
    gf_log(fmt::format("\n{}Error 81, {}\n", "===> ", text));
    throw UserErrorException(81, fmt::format("{}, see Log.txt", text));
  }
}

bool gf_isFailedTitle(std::string_view title) {
  return std::find(FailedTitles.begin(), FailedTitles.end(), title) != FailedTitles.end();
}

void gf_logNoMatch() {
  if (noMatchSet.empty()) {
    return;
  }
  gf_log("\nNo match found for:");
  for (const auto& key : noMatchSet) {
    gf_log(key);
  }
  if (noMatchLeftOut > 0) {
    gf_log(fmt::format("... and {} more notes of aircraft without a match, left out of the list", noMatchLeftOut));
  }
  gf_log("");
}

}  // namespace cvl

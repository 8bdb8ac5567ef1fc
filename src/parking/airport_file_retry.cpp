#include "parking/airport_file_retry.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>

#include "app/run_loop.h"

namespace cvl {
namespace {

constexpr std::chrono::minutes firstWait{2};
constexpr std::chrono::minutes longestWait{30};

struct FileFailures {
  std::string name;
  std::string failure;
  std::uint32_t count = 0;
  RunTime nextTry;
};

std::map<std::string, FileFailures, std::less<>> failuresByCode;

std::chrono::minutes lf_waitAfter(std::uint32_t failures) {
  std::chrono::minutes wait = firstWait;
  for (std::uint32_t failure = 1; failure < failures && wait < longestWait; ++failure) {
    wait *= 2;
  }
  return std::min(wait, longestWait);
}

}  // namespace

void gf_noteAirportFileFailed(const std::string& code, const std::string& name, const std::string& failure) {
  FileFailures& failures = failuresByCode[code];
  if (failures.name != name) {
    failures = {name, {}, 0, {}};
  }
  failures.failure = failure;
  ++failures.count;
  failures.nextTry = runClock.now() + lf_waitAfter(failures.count);
}

std::optional<AirportFileWait> gf_airportFileWait(const std::string& code, const std::string& name) {
  const auto found = failuresByCode.find(code);
  if (found == failuresByCode.end() || found->second.name != name) {
    return std::nullopt;
  }
  const auto left = std::chrono::ceil<std::chrono::seconds>(found->second.nextTry - runClock.now());
  if (left <= std::chrono::seconds::zero()) {
    return std::nullopt;
  }
  return AirportFileWait{found->second.failure, left};
}

void gf_forgetAirportFileFailures(const std::string& code) {
  failuresByCode.erase(code);
}

void gf_forgetAirportFileFailures() {
  failuresByCode.clear();
}

}  // namespace cvl

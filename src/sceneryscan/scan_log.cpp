#include "sceneryscan/scan_log.h"

#include <mutex>
#include <utility>

namespace cvl {
namespace {

constexpr std::size_t expectedScanLogLines = 2048;

std::mutex scanLogMutex;
std::vector<std::string> ScanLogLines;

}  // namespace

void lf_scanLog(std::string line) {
  const std::lock_guard lock{scanLogMutex};
  ScanLogLines.push_back(std::move(line));
}

void lf_reserveScanLog() {
  const std::lock_guard lock{scanLogMutex};
  ScanLogLines.reserve(expectedScanLogLines);
}

std::vector<std::string> lf_takeScanLogLines() {
  const std::lock_guard lock{scanLogMutex};
  return std::exchange(ScanLogLines, {});
}

}  // namespace cvl

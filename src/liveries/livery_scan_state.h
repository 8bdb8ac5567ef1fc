#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

// What the reader tasks of one livery scan write into and read: the scan's report lists, the titles it has taken and
// the titles it must not use. Every reader task holds the state of the scan that started it, so a reader still at work
// when its scan has moved on (the scan gave up waiting for it, or a stop ended the scan) fills only its own scan's
// lists, reads its own scan's titles, and finds nothing freed under it.
namespace cvl {

// Lines appended by any thread, each append under the list's own lock.
class ReportList {
 public:
  void add(std::string line);
  // A copy of the lines.
  std::vector<std::string> lines() const;
  bool empty() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

struct LiveryScanState {
  // The errors.
  ReportList invalidAirlineCodes;
  ReportList invalidModelCodes;
  ReportList codeFixes;
  ReportList invalidCfgFiles;
  ReportList incompleteSections;
  // The information.
  ReportList cfgFilesWithoutFltsim;
  ReportList codeConversions;
  // Filled before the scan's first reader starts; only read afterwards.
  std::unordered_set<std::string> dontUseTitles;
  // The titles accepted so far: a title gives at most one livery per scan.
  std::mutex claimedTitlesMutex;
  std::unordered_set<std::string> claimedTitles;
};

// The state of the scan the calling thread works for: a reader task's own scan's, on any other thread the current
// scan's.
LiveryScanState& lf_scanState();

// The current scan's state, for a reader task to hold.
std::shared_ptr<LiveryScanState> lf_currentScanState();

// The next scan starts with empty lists and title sets; readers of earlier scans keep theirs.
void lf_renewScanState();

// While it lives, the calling thread works for the scan of this state.
class ScanStateBinding {
 public:
  explicit ScanStateBinding(std::shared_ptr<LiveryScanState> state);
  ~ScanStateBinding();
  ScanStateBinding(const ScanStateBinding&) = delete;
  ScanStateBinding& operator=(const ScanStateBinding&) = delete;

 private:
  std::shared_ptr<LiveryScanState> state_;
};

}  // namespace cvl

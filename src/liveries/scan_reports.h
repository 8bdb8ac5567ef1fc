#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/constants.h"
#include "liveries/livery_scan_state.h"

// What a livery scan finds wrong or worth knowing: report lists that the scan's reader threads fill, written to text
// files under output/errors and output/info when the scan is over, with a short summary in the log.
namespace cvl {

inline const std::filesystem::path noFltsimReportPath{outputInfoFolder / "AircraftCfgWithNoFltsimSection.txt"};
inline const std::filesystem::path codeConversionsReportPath{outputInfoFolder / "AirlineModelConversions.txt"};
inline const std::filesystem::path inlineRegcodesReportPath{outputErrorsFolder / "InlineRegcodes.txt"};
inline const std::filesystem::path invalidAirlinesReportPath{outputErrorsFolder / "InvalidAirlineCodes.txt"};
inline const std::filesystem::path invalidModelsReportPath{outputErrorsFolder / "InvalidAircraftCodes.txt"};
inline const std::filesystem::path fixesReportPath{outputErrorsFolder / "Fixes.txt"};
inline const std::filesystem::path invalidCfgReportPath{outputErrorsFolder / "InvalidAircraftCfgFiles.txt"};
inline const std::filesystem::path incompleteSectionsReportPath{outputErrorsFolder / "IncompleFltsimSections.txt"};

// One report list of the scan the calling thread works for (liveries/livery_scan_state.h).
class ScanReport {
 public:
  explicit constexpr ScanReport(ReportList LiveryScanState::*list) : list_{list} {}
  void add(std::string line) const;
  // A copy of the lines.
  std::vector<std::string> lines() const;
  bool empty() const;

 private:
  ReportList LiveryScanState::*list_;
};

// The errors.
inline constexpr ScanReport InvalidAirlineCodes{&LiveryScanState::invalidAirlineCodes};
inline constexpr ScanReport InvalidModelCodes{&LiveryScanState::invalidModelCodes};
inline constexpr ScanReport CodeFixes{&LiveryScanState::codeFixes};
inline constexpr ScanReport InvalidCfgFiles{&LiveryScanState::invalidCfgFiles};
inline constexpr ScanReport IncompleteSections{&LiveryScanState::incompleteSections};
// The information.
inline constexpr ScanReport CfgFilesWithoutFltsim{&LiveryScanState::cfgFilesWithoutFltsim};
inline constexpr ScanReport CodeConversions{&LiveryScanState::codeConversions};

void lf_addFixLine(std::string line);
void lf_addInvalidCfgLine(std::string line);
void lf_addIncompleteSectionLine(std::string line);

// Empties every report list, the titles taken by the scan and the don't-use titles. Readers of the scan that are still
// at work keep their scan's lists and titles, so this never waits for them.
void lf_clearScanReports();

// Removes the report files of the previous scan and then the folder output/errors; the first failure ends the removal
// with a log line. LiveriesScanned.xml is kept: a scan that finds liveries replaces it whole.
void lf_removeScanReports();

// Corrects the cargo flag, airline and type of every scanned livery whose registration the aircraft database knows,
// and reports each change. Scanning thread, after the readers are done.
void lf_logCodeConversions();

// Writes every non-empty report list to its file and logs the summary lines. Throws std::filesystem::filesystem_error
// when output/errors cannot be created.
void lf_writeScanReports();

// Writes the code-fix lines to Fixes.txt, creating its folders; a failure is logged and the scan goes on.
void lf_writeReportFile(const std::vector<std::string>& lines, const std::filesystem::path& path);

}  // namespace cvl

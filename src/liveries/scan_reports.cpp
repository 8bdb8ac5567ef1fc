#include "liveries/scan_reports.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <exception>
#include <string_view>
#include <utility>

#include "foundation/log.h"
#include "foundation/text_files.h"
#include "foundation/utilities.h"
#include "liveries/livery_data.h"
#include "refdata/dbase_queries.h"
#include "refdata/registration_lookup.h"

namespace cvl {

namespace {

enum class LineOrder { asAdded, sorted, sortedUnique };

using ReportWriter = void (*)(const std::vector<std::string>& lines, const std::filesystem::path& path);

void lf_createErrorsFolder() {
  std::error_code failure;
  if (!std::filesystem::is_directory(outputErrorsFolder, failure)) {
    std::filesystem::create_directory(outputErrorsFolder, failure);
    if (failure) {
      throw std::filesystem::filesystem_error("create_directory", outputErrorsFolder, failure);
    }
  }
}

void lf_writeErrorFile(const std::vector<std::string>& lines, const std::filesystem::path& path) {
  lf_createErrorsFolder();
  gf_writeLines(lines, path);
}

// output/info is made at start-up; without it the information files are not written.
void lf_writeInformationFile(const std::vector<std::string>& lines, const std::filesystem::path& path) {
  gf_writeLines(lines, path);
}

// One report file. The summary names the count as {0}, the plural ending as {1} and the file as {2}.
struct ReportFile {
  ScanReport list;
  const std::filesystem::path& path;
  LineOrder order;
  ReportWriter write;
  std::string_view summary;
};

const std::array<ReportFile, 5> errorReports{{
    {InvalidAirlineCodes, invalidAirlinesReportPath, LineOrder::sorted, lf_writeErrorFile,
     "{0} invalid airline code{1}, see {2}"},
    {InvalidModelCodes, invalidModelsReportPath, LineOrder::sorted, lf_writeErrorFile,
     "{0} invalid model code{1}, see {2}"},
    {CodeFixes, fixesReportPath, LineOrder::asAdded, lf_writeReportFile, "{0} code fixes, see {2}"},
    {InvalidCfgFiles, invalidCfgReportPath, LineOrder::sorted, lf_writeErrorFile,
     "{0} invalid aircraft.cfg files, see {2}"},
    {IncompleteSections, incompleteSectionsReportPath, LineOrder::sortedUnique, lf_writeErrorFile,
     "{0} incomplete [fltsim.x] sections, see {2}"},
}};

const std::array<ReportFile, 2> informationReports{{
    {CfgFilesWithoutFltsim, noFltsimReportPath, LineOrder::sorted, lf_writeInformationFile,
     "{0} empty aircraft.cfg files, see {2}"},
    {CodeConversions, codeConversionsReportPath, LineOrder::asAdded, lf_writeInformationFile,
     "{0} liveries updated with real live data from dbase, see {2}"},
}};

std::vector<std::string> lf_orderedLines(const ReportFile& report) {
  auto lines = report.list.lines();
  if (report.order != LineOrder::asAdded) {
    std::sort(lines.begin(), lines.end());
  }
  if (report.order == LineOrder::sortedUnique) {
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  }
  return lines;
}

void lf_writeReport(const ReportFile& report) {
  const auto lines = lf_orderedLines(report);
  report.write(lines, report.path);
  gf_log(fmt::format(fmt::runtime(report.summary), lines.size(), gf_pluralSSize(lines.size()), report.path.string()));
}

std::string lf_flagText(bool flag) {
  return flag ? "true" : "false";
}

// The database's airline of a registration: its operator when that is an airline code, else its airline.
std::string lf_databaseAirline(const DbaseRecord& record) {
  return gf_isIcaoAirline(record.opr) ? record.opr : record.airl;
}

void lf_convertLivery(LiveryData& livery, const DbaseRecord& record) {
  if (record.cargo != livery.cargo) {
    CodeConversions.add(fmt::format("{:80} {} cargo {} => {}", livery.title, livery.atcid, lf_flagText(livery.cargo),
                                    lf_flagText(record.cargo)));
    livery.cargo = record.cargo;
  }
  const auto airline = lf_databaseAirline(record);
  if (!airline.empty() && airline != livery.airl) {
    CodeConversions.add(fmt::format("{:80} {} airl {} => {}", livery.title, livery.atcid, livery.airl, airline));
    livery.airl = airline;
  }
  if (!record.type.empty() && record.type != livery.type) {
    CodeConversions.add(fmt::format("{:80} {} model {} => {}", livery.title, livery.atcid, livery.type, record.type));
    livery.type = record.type;
  }
}

}  // namespace

void ScanReport::add(std::string line) const {
  (lf_scanState().*list_).add(std::move(line));
}

std::vector<std::string> ScanReport::lines() const {
  return (lf_scanState().*list_).lines();
}

bool ScanReport::empty() const {
  return (lf_scanState().*list_).empty();
}

void lf_addFixLine(std::string line) {
  CodeFixes.add(std::move(line));
}

void lf_addInvalidCfgLine(std::string line) {
  InvalidCfgFiles.add(std::move(line));
}

void lf_addIncompleteSectionLine(std::string line) {
  IncompleteSections.add(std::move(line));
}

void lf_clearScanReports() {
  lf_renewScanState();
}

void lf_removeScanReports() {
  try {
    for (const auto* path :
         {&noFltsimReportPath, &inlineRegcodesReportPath, &invalidAirlinesReportPath, &invalidModelsReportPath,
          &fixesReportPath, &invalidCfgReportPath, &incompleteSectionsReportPath, &outputErrorsFolder}) {
      std::filesystem::remove(*path);
    }
  } catch (const std::exception& failure) {
    gf_log(fmt::format("problems with removing previous files: {}", failure.what()));
  }
}

void lf_logCodeConversions() {
  for (auto& livery : ScannedLiveries) {
    if (livery.atcid.empty()) {
      continue;
    }
    if (const auto record = gf_findDbaseRecord(livery.atcid)) {
      lf_convertLivery(livery, *record);
    }
  }
}

void lf_writeScanReports() {
  const bool anyError = std::any_of(errorReports.begin(), errorReports.end(),
                                    [](const ReportFile& report) { return !report.list.empty(); });
  gf_log(anyError ? "\nErrors:" : "\nNo errors");
  for (const auto& report : errorReports) {
    if (!report.list.empty()) {
      lf_writeReport(report);
    }
  }
  gf_log("\nInformation:");
  for (const auto& report : informationReports) {
    if (!report.list.empty()) {
      lf_writeReport(report);
    }
  }
}

void lf_writeReportFile(const std::vector<std::string>& lines, const std::filesystem::path& path) {
  try {
    std::error_code failure;
    std::filesystem::create_directories(path.parent_path(), failure);
    if (failure) {
      throw std::filesystem::filesystem_error("create_directories", path.parent_path(), failure);
    }
    gf_writeLines(lines, path);
  } catch (const std::exception& failure) {
    gf_log(fmt::format("Error writing file {}: {}", path.string(), failure.what()));
  }
}

}  // namespace cvl

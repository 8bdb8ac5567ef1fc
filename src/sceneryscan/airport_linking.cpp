#include "sceneryscan/airport_linking.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <mutex>

#include "app/sim_choice.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/text_encoding.h"
#include "foundation/text_files.h"
#include "parking/airport_file_lookup.h"
#include "refdata/aircraft_database.h"
#include "sceneryscan/file_status.h"
#include "sceneryscan/publisher_search.h"
#include "sceneryscan/scan_log.h"

namespace cvl {
namespace {

std::mutex linkMutex;

constexpr std::size_t icaoLength = 4;

std::string lf_escapedBlanks(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    escaped += c == ' ' ? std::string{"%20"} : std::string(1, c);
  }
  return escaped;
}

bool lf_isWholeInt32(std::string_view text) {
  std::int32_t number = 0;
  const auto* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data(), end, number);
  return !text.empty() && failure == std::errc{} && stop == end;
}

bool lf_writeRedirect(const std::filesystem::path& folder, const std::string& code, const std::string& archiveName) {
  gf_createFolder(folder);
  const auto path = folder / gf_txtPathOf(code);
  if (!gf_writeTextFile(archiveName, path, true)) {
    lf_scanLog(fmt::format("{}Writing {} did not succeed", "===> ", gf_pathToUtf8(path)));
    return false;
  }
  return true;
}

}  // namespace

std::atomic<bool> addonScanSucceeded{false};

std::optional<std::string> lf_existsAsSimaddon(const std::string& code) {
  if (SimAddonAirports.contains(code)) {
    return fmt::format("archive/{}/{}.xml", simaddonPublisher, code);
  }
  lf_scanLog(fmt::format("{} does not exist as simaddon", code));
  return std::nullopt;
}

bool lf_matchArptsEntry(const std::string& publisher, const std::string& code, const std::string& entry) {
  if (!entry.starts_with(code)) {
    return false;
  }
  const std::string_view rest = entry.size() > icaoLength ? std::string_view{entry}.substr(icaoLength) : "";
  if (!lf_isWholeInt32(rest)) {
    gf_logFlagged(fmt::format("{} {} {} {}", publisher, code, entry, "invalid number"));
  }
  return true;
}

std::optional<std::string> lf_existsAsThirdparty(const std::string& publisher, const std::string& code) {
  const auto& thirdParties = msfs2020Mode ? ThirdParties20 : ThirdParties24;
  for (const auto& thirdParty : thirdParties) {
    if (thirdParty.pub != publisher) {
      continue;
    }
    const bool listed = std::any_of(thirdParty.arpts.begin(), thirdParty.arpts.end(), [&](const std::string& entry) {
      return lf_matchArptsEntry(publisher, code, entry);
    });
    if (listed) {
      return fmt::format("archive/thirdparty/{}/{}.xml", lf_escapedBlanks(publisher), code);
    }
  }
  lf_scanLog(fmt::format("thirdparty {} {} does not exist", publisher, code));
  return std::nullopt;
}

bool lf_linkAirport(ApfData& apf, const std::filesystem::path& bglPath) {
  const std::lock_guard lock{linkMutex};
  apf.BGLpath = gf_pathToUtf8(bglPath);
  auto found = gf_searchPublisher(bglPath);
  apf.publisher = std::move(found.publisher);
  apf.manufacturer = std::move(found.manufacturer);
  apf.creator = std::move(found.creator);
  if (apf.publisher.empty()) {
    return false;
  }
  if (apf.publisher == simaddonPublisher) {
    const auto archiveName = lf_existsAsSimaddon(apf.code);
    if (!archiveName || !lf_writeRedirect(mySimAddonFolder, apf.code, *archiveName)) {
      return false;
    }
    lf_scanLog(fmt::format("{} airport {} linked to {}", simaddonPublisher, apf.code, *archiveName));
  } else {
    const auto archiveName = lf_existsAsThirdparty(apf.publisher, apf.code);
    if (!archiveName || !lf_writeRedirect(myThirdPartyFolder, apf.code, *archiveName)) {
      return false;
    }
    lf_scanLog(fmt::format("thirdparty airport {} linked to {}", apf.code, *archiveName));
  }
  addonScanSucceeded = true;
  return true;
}

}  // namespace cvl

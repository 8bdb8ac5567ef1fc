#include "refdata/site_folder.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/sim_choice.h"
#include "datatool/download_site.h"
#include "foundation/constants.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "foundation/version.h"
#include "foundation/zip_archive.h"
#include "refdata/program_folder.h"

namespace cvl::test {

void SiteFolder::layOutSample() const {
  datatool::layOutSite(sampleDataFolder(), path(), {});
}

void SiteFolder::file(std::string_view relative, std::string_view bytes) const {
  const auto target = path() / relative;
  std::filesystem::create_directories(target.parent_path());
  writeFile(target, bytes);
}

void SiteFolder::versions(const Entries& components) const {
  std::vector<std::string> members;
  for (const auto& [key, text] : components) {
    const VersionData version{text};
    members.push_back(fmt::format(R"("{}": {{"major": {}, "minor": {}, "patch": {}}})", key, version.major,
                                  version.minor, version.patch));
  }
  rawVersions(fmt::format("{{\n  {}\n}}\n", fmt::join(members, ",\n  ")));
}

void SiteFolder::rawVersions(std::string_view json) const {
  file("versions.json", json);
}

void SiteFolder::zip(std::string_view relative, const Entries& entries) const {
  const auto target = path() / relative;
  std::filesystem::create_directories(target.parent_path());
  auto archive = ZipArchive::create(target);
  for (const auto& [name, bytes] : entries) {
    EXPECT_TRUE(archive.add(name, bytes)) << name;
  }
  EXPECT_TRUE(archive.close()) << archive.errorText();
}

std::string storedSetting(std::string_view key) {
  pugi::xml_document document;
  document.load_file(parametersPath().c_str());
  return gf_getStringParameter(document, key).value_or("<missing>");
}

ProgramWithSite::ProgramWithSite() {
  std::filesystem::create_directory("input");
  std::filesystem::create_directories(parametersPath().parent_path());
  gf_saveParameters(true);
}

ProgramWithSite::~ProgramWithSite() {
  for (StringParameter* stored : {&AIRPORTS_VERSION, &AIG_VERSION, &DBASE_VERSION, &LIV_SCAN_VERSION,
                                  &ADDONS_SCAN_VERSION, &MYSIMADDON24_VERSION}) {
    stored->value = stored->defaultValue.get();
  }
  stopRequested = false;
  exitReason = ExitReason::notYetSet;
  msfs2020Mode = true;
  gf_resetMainWindow();  // the status line the checks wrote
}

std::vector<std::string> ProgramWithSite::requested() const {
  std::vector<std::string> paths;
  for (const auto& request : server.requests()) {
    paths.push_back(request.path);
  }
  return paths;
}

}  // namespace cvl::test

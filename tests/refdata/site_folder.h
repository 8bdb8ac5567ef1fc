#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/open_log.h"
#include "support/http_server.h"
#include "support/temp_folder.h"

namespace cvl::test {

// The maker's downloads folder as a test lays it out: versions.json at the top, files and zips below it.
class SiteFolder {
 public:
  using Entries = std::vector<std::pair<std::string, std::string>>;

  const std::filesystem::path& path() const { return folder_.path(); }

  // The site as the maker's datatool lays it out from the sample data; versions() then says what it announces.
  void layOutSample() const;
  // A file at that path inside the folder, with the folders it needs.
  void file(std::string_view relative, std::string_view bytes) const;
  // versions.json with one component per pair of key and "major.minor.patch" text.
  void versions(const Entries& components) const;
  void rawVersions(std::string_view json) const;
  // A zip with these entries (name, bytes), in this order.
  void zip(std::string_view relative, const Entries& entries) const;

 private:
  TempFolder folder_;
};

// The value stored for the key in the settings file; "<missing>" when there is no such entry.
std::string storedSetting(std::string_view key);

// A program folder (the current folder, with Log.txt and input/), its settings file with every default in a roaming
// folder of its own, and the maker's site served on loopback from a folder that each test lays out. The run's exit
// request, the simulator choice and the stored component versions are put back afterwards.
class ProgramWithSite : public testing::Test {
 protected:
  ProgramWithSite();
  ~ProgramWithSite() override;

  // The paths the program asked the site for, in order.
  std::vector<std::string> requested() const;

  OpenLog log;
  TempFolder home;
  ScopedEnvironment config{"XDG_CONFIG_HOME", home.path().string()};
  SiteFolder site;
  HttpServer server{site.path()};
  ScopedEnvironment siteUrl{"CORVALEN_SITE_URL", server.url()};
};

}  // namespace cvl::test

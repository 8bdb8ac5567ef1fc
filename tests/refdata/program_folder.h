#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "foundation/constants.h"
#include "foundation/log.h"
#include "refdata/data_file_sealing.h"
#include "support/temp_folder.h"

namespace cvl::test {

// A fresh program folder as the current folder, with its "input" folder and an open Log.txt, for the readers of the
// reference data, which take their files from fixed relative paths.
class ProgramFolder {
 public:
  ProgramFolder() {
    std::filesystem::create_directories(inputFolder);
    gf_openLog();
  }
  ~ProgramFolder() { gf_closeLog(); }
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const std::filesystem::path& path() const { return folder_.path(); }

  // What was logged after the header line.
  std::string log() const {
    gf_flushLog();
    const auto all = readFile(folder_.path() / "Log.txt");
    return all.substr(all.find('\n') + 1);
  }

 private:
  TempFolder folder_;
  ScopedCurrentFolder current_{folder_.path()};
};

// The source tree's sample data.
inline std::filesystem::path sampleFolder() {
  return std::filesystem::path{__FILE__}.parent_path().parent_path().parent_path() / "data" / "sample";
}

}  // namespace cvl::test

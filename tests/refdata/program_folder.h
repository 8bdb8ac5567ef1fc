#pragma once

#include <filesystem>
#include <string>

#include "foundation/constants.h"
#include "foundation/open_log.h"
#include "refdata/data_file_sealing.h"
#include "support/sample_data.h"
#include "support/temp_folder.h"

namespace cvl::test {

// A fresh program folder as the current folder, with its "input" folder and an open Log.txt, for the readers of the
// reference data, which take their files from fixed relative paths.
class ProgramFolder {
 public:
  ProgramFolder() { std::filesystem::create_directories(inputFolder); }

  const std::filesystem::path& path() const { return log_.folder(); }

  // What was logged after the header line.
  std::string log() const { return log_.body(); }

 private:
  OpenLog log_;
};

}  // namespace cvl::test

// Start-up cost of the reference data: decrypting a data file, reading the sample aircraft database, the sample
// airports and a generated database of 500,000 registrations (each read includes its decryption), and the version
// check's test of that generated database.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "foundation/constants.h"
#include "refdata/aircraft_database.h"
#include "refdata/airports_database.h"
#include "refdata/data_file_check.h"
#include "refdata/data_file_sealing.h"
#include "refdata/decryption.h"

namespace {

const std::filesystem::path sampleFolder =
    std::filesystem::path{__FILE__}.parent_path().parent_path() / "data" / "sample";

// A scratch program folder as the current folder for the benchmark's lifetime.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvalen-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("no scratch folder");
    }
    path_ = pattern;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
    std::filesystem::create_directories(cvl::inputFolder);
  }
  ~ScratchFolder() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

std::string readWhole(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The sample's type, airline and airport sections with a generated registration section in place of its own.
std::string largeDbase(int registrations) {
  auto xml = readWhole(sampleFolder / "dbase.xml");
  const auto start = xml.find("<dbase>");
  const auto end = xml.find("</dbase>");
  std::string records = "<dbase>\n";
  for (int i = 0; i < registrations; ++i) {
    records += fmt::format(R"(    <db reg="X-{:05X}" airl="KLM" type="B738" opr="KLM Royal Dutch" cargo="false"/>)", i);
    records += '\n';
  }
  return xml.replace(start, end - start, records);
}

void BM_DecryptDataFile(benchmark::State& state) {
  const ScratchFolder folder;
  const std::string plain(static_cast<std::size_t>(state.range(0)), 'x');
  cvl::gf_writeSealedDataFile("input/data.enc", plain);
  for (auto _ : state) {
    if (!cvl::gf_streamDecrypt("input/data.enc", "input/data.xml")) {
      state.SkipWithError("decryption failed");
    }
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DecryptDataFile)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

void readDbaseBench(benchmark::State& state, const std::string& plain) {
  const ScratchFolder folder;
  cvl::gf_writeSealedDataFile(cvl::dbaseEncPath, plain);
  for (auto _ : state) {
    if (!cvl::gf_readDbase()) {
      state.SkipWithError("dbase not read");
    }
  }
  state.counters["registrations"] = static_cast<double>(cvl::RegistrationTable.size());
}

void BM_ReadSampleDbase(benchmark::State& state) {
  readDbaseBench(state, readWhole(sampleFolder / "dbase.xml"));
}
BENCHMARK(BM_ReadSampleDbase)->Unit(benchmark::kMillisecond);

void BM_ReadLargeDbase(benchmark::State& state) {
  readDbaseBench(state, largeDbase(500000));
}
BENCHMARK(BM_ReadLargeDbase)->Unit(benchmark::kMillisecond)->Iterations(3);

// The version check's test of the installed database, at every start that reaches the site.
void BM_CheckLargeDbaseFile(benchmark::State& state) {
  const ScratchFolder folder;
  cvl::gf_writeSealedDataFile(cvl::dbaseEncPath, largeDbase(500000));
  for (auto _ : state) {
    if (cvl::gf_dbaseFileState(cvl::dbaseEncPath) != cvl::DataFileState::usable) {
      state.SkipWithError("dbase not usable");
    }
  }
}
BENCHMARK(BM_CheckLargeDbaseFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadSampleAirports(benchmark::State& state) {
  const ScratchFolder folder;
  cvl::gf_writeSealedDataFile(cvl::airportsEncPath, readWhole(sampleFolder / "airports.xml"));
  for (auto _ : state) {
    cvl::gf_forgetAirports();
    if (!cvl::gf_readAirports()) {
      state.SkipWithError("airports not read");
    }
  }
  state.counters["airports"] = static_cast<double>(cvl::AirportList.size());
}
BENCHMARK(BM_ReadSampleAirports)->Unit(benchmark::kMillisecond);

}  // namespace

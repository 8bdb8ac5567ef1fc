// Arbitrary bytes as a text file from an add-on package: the charset is detected and the file read as that charset,
// then read again under every other charset. Nothing may crash, and every line that a conversion produced is UTF-8.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/text_encoding.h"
#include "foundation/text_files.h"
#include "fuzz_support.h"

namespace {

using cvl::fuzz::check;

// One file per process, removed when the fuzzer ends.
struct ScratchFile {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("corvalen-fuzz-text-" + std::to_string(::getpid()) + ".txt");
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
};

const std::filesystem::path& scratchFile() {
  static const ScratchFile file;
  return file.path;
}

bool isUtf8(const std::string& text) {
  try {
    cvl::utf8_to_wide(text);
    return true;
  } catch (const std::runtime_error&) {
    return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cvl::fuzz::writeWholeFile(scratchFile(), cvl::fuzz::asText(data, size));
  const cvl::Charset detected = cvl::gf_detectCharset(scratchFile());
  check(detected != cvl::Charset::noneFound);  // the file was just written
  std::vector<std::string> lines;
  for (const auto charset : {detected, cvl::Charset::ansi, cvl::Charset::unicode, cvl::Charset::unicodeBigEndian,
                             cvl::Charset::utf8WithBom, cvl::Charset::utf8WithoutBom, cvl::Charset::noneFound}) {
    const bool read = cvl::gf_readTextFile(charset, scratchFile(), lines);
    const bool converted =
        charset == cvl::Charset::ansi || charset == cvl::Charset::unicode || charset == cvl::Charset::unicodeBigEndian;
    for (const auto& line : lines) {
      // Converted text is always UTF-8: ANSI by its table, UTF-16 by the strict conversion.
      check(!read || !converted || isUtf8(line));
    }
  }
  cvl::TextFile textFile{scratchFile(), {}};
  cvl::gf_readLines(textFile, 16);
  return 0;
}

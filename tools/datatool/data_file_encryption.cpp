#include "datatool/data_file_encryption.h"

#include <fmt/format.h>
#include <fmt/std.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "datatool/replacing_file_writer.h"
#include "refdata/data_file_sealing.h"

namespace cvl::datatool {

void encryptDataFile(const std::filesystem::path& plainPath, const std::filesystem::path& encPath,
                     std::span<const std::uint8_t, dataFileKeyBytes> key) {
  std::ifstream in(plainPath, std::ios::binary);
  if (!in) {
    throw std::runtime_error(fmt::format("cannot open {}", plainPath));
  }
  const std::string plain{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) {
    throw std::runtime_error(fmt::format("cannot read {}", plainPath));
  }
  writeFileReplacing(encPath, gf_sealDataBytes(plain, key));
}

}  // namespace cvl::datatool

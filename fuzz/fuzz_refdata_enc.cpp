// Arbitrary .enc files, and sealed files that were then altered or cut. The first byte picks the case; the rest is the
// file (case 0) or the plain text. A whole sealed file must give back its plain text; an altered or cut one must fail
// and leave no plain file; nothing may crash.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "refdata/data_file_sealing.h"
#include "refdata/decryption.h"

namespace {

const std::filesystem::path encPath{"input/fuzz.enc"};
const std::filesystem::path plainPath{"input/fuzz.xml"};

using cvl::fuzz::check;
using cvl::fuzz::writeWholeFile;

std::string readWhole(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void expectFailure(std::string_view enc) {
  writeWholeFile(encPath, enc);
  check(!cvl::gf_streamDecrypt(encPath, plainPath) && !std::filesystem::exists(plainPath));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool folderMade = std::filesystem::create_directories("input") || true;
  if (size == 0 || !folderMade) {
    return 0;
  }
  const std::string_view rest = cvl::fuzz::asText(data + 1, size - 1);
  switch (data[0] % 4) {
    case 0:
      writeWholeFile(encPath, rest);
      check(cvl::gf_streamDecrypt(encPath, plainPath) || !std::filesystem::exists(plainPath));
      break;
    case 1:
      cvl::gf_writeSealedDataFile(encPath, rest);
      check(cvl::gf_streamDecrypt(encPath, plainPath) && readWhole(plainPath) == rest);
      break;
    case 2: {
      auto sealed = cvl::gf_sealDataBytes(rest);
      const auto position = (rest.size() * 7919) % sealed.size();
      sealed[position] = static_cast<char>(sealed[position] ^ 0x20);
      expectFailure(sealed);
      break;
    }
    default: {
      const auto sealed = cvl::gf_sealDataBytes(rest);
      expectFailure(std::string_view{sealed}.substr(0, (rest.size() * 7919) % sealed.size()));
      break;
    }
  }
  std::error_code ignored;
  std::filesystem::remove(plainPath, ignored);
  return 0;
}

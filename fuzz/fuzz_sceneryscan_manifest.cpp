// Arbitrary bytes as a package's manifest.json, read as text and as a file. Nothing may crash; a file that reads is
// the same manifest as its text joined line by line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "sceneryscan/manifests.h"

namespace {

void check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  cvl::lf_manifestFromJson(text);
  {
    std::ofstream file("manifest.json", std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  const auto info = cvl::lf_readManifest("manifest.json");
  if (info && text.find_first_of("\r\n") == std::string_view::npos && text.find('\0') == std::string_view::npos) {
    const auto direct = cvl::lf_manifestFromJson(text);
    check(!direct || (direct->title == info->title && direct->manufacturer == info->manufacturer &&
                      direct->creator == info->creator));
  }
  return 0;
}

// Arbitrary bytes as a package's manifest.json, read as text and as a file. Nothing may crash; a file that reads is
// the same manifest as its text joined line by line.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "sceneryscan/manifests.h"

using cvl::fuzz::asText;
using cvl::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = asText(data, size);
  cvl::lf_manifestFromJson(text);
  cvl::fuzz::writeWholeFile("manifest.json", text);
  const auto info = cvl::lf_readManifest("manifest.json");
  if (info && text.find_first_of("\r\n") == std::string_view::npos && text.find('\0') == std::string_view::npos) {
    const auto direct = cvl::lf_manifestFromJson(text);
    check(!direct || (direct->title == info->title && direct->manufacturer == info->manufacturer &&
                      direct->creator == info->creator));
  }
  return 0;
}

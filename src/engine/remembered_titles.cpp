#include "engine/remembered_titles.h"

#include <unordered_map>

#include "simlink/creation_failures.h"

namespace cvl {
namespace {

std::unordered_map<std::uint32_t, std::string_view> rememberedTitles;

}  // namespace

std::string_view lf_rememberedTitle(std::uint32_t hexid) {
  const auto remembered = rememberedTitles.find(hexid);
  if (remembered == rememberedTitles.end()) {
    return {};
  }
  if (gf_isFailedTitle(remembered->second)) {
    rememberedTitles.erase(remembered);
    return {};
  }
  return remembered->second;
}

void gf_rememberTitle(std::uint32_t hexid, std::string_view title) {
  rememberedTitles[hexid] = title;
}

void gf_forgetRememberedTitle(std::uint32_t hexid) {
  rememberedTitles.erase(hexid);
}

void gf_clearRememberedTitles() {
  rememberedTitles.clear();
}

}  // namespace cvl

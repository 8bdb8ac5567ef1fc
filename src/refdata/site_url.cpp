#include "refdata/site_url.h"

#include <fmt/format.h>

#include <array>
#include <cstdlib>
#include <string_view>

#include "foundation/log.h"

// A release build names the maker's real host with -DCORVALEN_DEFAULT_SITE_URL=...
#ifndef CORVALEN_DEFAULT_SITE_URL
#define CORVALEN_DEFAULT_SITE_URL "https://www.mardelwyn.example/downloads/"
#endif

namespace cvl {
namespace {

constexpr std::string_view siteUrlVariable = "CORVALEN_SITE_URL";

bool lf_hasAcceptedScheme(std::string_view url) {
  constexpr std::array<std::string_view, 3> schemes{"http://", "https://", "file://"};
  for (const auto scheme : schemes) {
    if (url.substr(0, scheme.size()) == scheme && url.size() > scheme.size()) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string gf_downloadsFolderUrl() {
  std::string url = CORVALEN_DEFAULT_SITE_URL;
  if (const char* configured = std::getenv(siteUrlVariable.data()); configured != nullptr && *configured != '\0') {
    if (lf_hasAcceptedScheme(configured)) {
      url = configured;
    } else {
      gf_logFlagged(
          fmt::format("{} '{}' ignored: only http://, https:// and file:// are used", siteUrlVariable, configured));
    }
  }
  if (url.back() != '/') {
    url += '/';
  }
  return url;
}

std::string gf_siteUrl(std::string_view pathInDownloads) {
  return gf_downloadsFolderUrl().append(pathInDownloads);
}

}  // namespace cvl

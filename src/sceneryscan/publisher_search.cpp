#include "sceneryscan/publisher_search.h"

#include <fmt/format.h>

#include "foundation/text_encoding.h"
#include "refdata/dbase_queries.h"
#include "sceneryscan/manifests.h"
#include "sceneryscan/scan_log.h"

namespace cvl {
namespace {

bool lf_isSimulatorMakersPackage(const std::string& pathText) {
  return gf_containsNoCase(pathText, "microsoft-airport") || gf_containsNoCase(pathText, "asobo-airport");
}

// The publisher named in one manifest field, with the line that tells it (field: "manufacturer" or "creator").
PublisherResult lf_publisherFromManifestField(PublisherResult result, const std::string& value,
                                              std::string_view field) {
  result.publisher = gf_findPublisher(value).value_or(std::string{});
  lf_scanLog(fmt::format("from manifest.json: {} '{}' => publisher '{}'", field, value, result.publisher));
  return result;
}

}  // namespace

PublisherResult gf_searchPublisher(const std::filesystem::path& bglPath) {
  const auto pathText = gf_pathToUtf8(bglPath);
  lf_scanLog(fmt::format("\nTry to find publisher in: {}", pathText));
  if (lf_isSimulatorMakersPackage(pathText)) {
    lf_scanLog(fmt::format("from filename => publisher {}", simaddonPublisher));
    return {simaddonPublisher, {}, {}};
  }
  if (auto publisher = gf_findPublisher(pathText)) {
    lf_scanLog(fmt::format("publisher '{}' found", *publisher));
    return {std::move(*publisher), {}, {}};
  }
  const auto manifest = gf_searchManifest(bglPath);
  if (!manifest) {
    lf_scanLog(fmt::format("{}No publisher found", "===> "));
    return {};
  }
  const PublisherResult fromManifest{{}, manifest->manufacturer, manifest->creator};
  if (!manifest->manufacturer.empty()) {
    return lf_publisherFromManifestField(fromManifest, manifest->manufacturer, "manufacturer");
  }
  if (!manifest->creator.empty()) {
    return lf_publisherFromManifestField(fromManifest, manifest->creator, "creator");
  }
  lf_scanLog(fmt::format("no valid info found in manifest about publisher, manufacturer:'{}', creator:'{}' {}",
                         manifest->manufacturer, manifest->creator, pathText));
  return fromManifest;
}

}  // namespace cvl

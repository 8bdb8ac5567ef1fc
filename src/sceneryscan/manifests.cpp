#include "sceneryscan/manifests.h"

#include <fmt/format.h>

#include <nlohmann/json.hpp>
#include <vector>

#include "foundation/constants.h"
#include "foundation/text_encoding.h"
#include "foundation/text_files.h"
#include "sceneryscan/file_status.h"
#include "sceneryscan/scan_log.h"

namespace cvl {
namespace {

const std::filesystem::path manifestName{"manifest.json"};

// Paths this short cannot hold a package below a Community folder.
constexpr std::size_t shortestCommunityPath = 8;

std::string lf_jsonText(const nlohmann::json& object, const char* key) {
  const auto value = object.find(key);
  return value != object.end() && value->is_string() ? value->get<std::string>() : std::string{};
}

std::optional<ManifestInfo> lf_readFoundManifest(const std::filesystem::path& manifest) {
  lf_scanLog(fmt::format("{} found", gf_pathToUtf8(manifest)));
  return lf_readManifest(manifest);
}

// The package folder right below the path's first component named "Community"; nothing when there is none.
std::optional<std::filesystem::path> lf_communityPackageFolder(const std::filesystem::path& bglPath) {
  std::filesystem::path prefix;
  bool belowCommunity = false;
  for (const auto& component : bglPath) {
    prefix /= component;
    if (belowCommunity) {
      return prefix;
    }
    belowCommunity = component == communityFolderName;
  }
  return std::nullopt;
}

std::optional<ManifestInfo> lf_searchUpwards(const std::filesystem::path& bglPath) {
  auto folder = bglPath.parent_path();
  while (!folder.empty()) {
    if (const auto manifest = lf_scanManifests(folder); !manifest.empty()) {
      if (auto info = lf_readFoundManifest(manifest)) {
        return info;
      }
    }
    auto parent = folder.parent_path();
    if (parent == folder) {
      break;  // the root is its own parent
    }
    folder = std::move(parent);
  }
  return std::nullopt;
}

}  // namespace

std::filesystem::path lf_scanManifests(const std::filesystem::path& folder) {
  if (!std::filesystem::is_directory(gf_pathStatus(folder))) {
    return {};
  }
  auto manifest = folder / manifestName;
  return std::filesystem::is_regular_file(gf_pathStatus(manifest)) ? manifest : std::filesystem::path{};
}

std::optional<ManifestInfo> lf_manifestFromJson(std::string_view json) {
  const auto document = nlohmann::json::parse(json, nullptr, false);
  if (!document.is_object()) {
    return std::nullopt;
  }
  return ManifestInfo{lf_jsonText(document, "title"), lf_jsonText(document, "manufacturer"),
                      lf_jsonText(document, "creator")};
}

std::optional<ManifestInfo> lf_readManifest(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  gf_readTextFile(gf_detectCharset(path), path, lines);
  std::string json;
  for (const auto& line : lines) {
    json += line;
  }
  return lf_manifestFromJson(json);
}

std::optional<ManifestInfo> gf_searchManifest(const std::filesystem::path& bglPath) {
  try {
    const auto pathText = gf_pathToUtf8(bglPath);
    const auto package = pathText.size() > shortestCommunityPath && pathText.find("Community") != std::string::npos
                             ? lf_communityPackageFolder(bglPath)
                             : std::nullopt;
    if (!package) {
      return lf_searchUpwards(bglPath);
    }
    const auto manifest = lf_scanManifests(*package);
    return manifest.empty() ? std::nullopt : lf_readFoundManifest(manifest);
  } catch (const std::exception& failure) {
    lf_scanLog(fmt::format("exception in gf_searchManifest: {}", failure.what()));
    return std::nullopt;
  }
}

}  // namespace cvl

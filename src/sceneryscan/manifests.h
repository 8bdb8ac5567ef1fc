#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The manifest.json of a simulator package: who made the package and its title. The add-on airport scan reads the
// manifest of the package that holds a BGL file to find the airport's publisher or, for an airport whose BGL
// identifier is no ICAO code, the code in the package's title.
namespace cvl {

struct ManifestInfo {
  std::string title;
  std::string manufacturer;
  std::string creator;
};

// The folder's manifest.json (the name compared exactly); empty when the folder is missing, is no folder or holds
// none. A failure other than "not found" throws a filesystem error.
std::filesystem::path lf_scanManifests(const std::filesystem::path& folder);

// The manifest's texts; nothing when the file cannot be read or its JSON is no object. Lines are joined without
// separators before parsing.
std::optional<ManifestInfo> lf_readManifest(const std::filesystem::path& path);

// The texts of a JSON object; a key that is missing or holds no text gives an empty text. Nothing when the text is no
// JSON object.
std::optional<ManifestInfo> lf_manifestFromJson(std::string_view json);

// The manifest of the package that holds the BGL file. Under a "Community" folder that is the package's top folder
// (the folder right below "Community"); elsewhere the nearest folder above the file that holds a manifest. The search
// is written to the scan log; its errors too, and they give nothing.
std::optional<ManifestInfo> gf_searchManifest(const std::filesystem::path& bglPath);

}  // namespace cvl

#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace cvl::simemu {

// Replaces the file with the JSON text in one step: written under a temporary name beside it, then renamed, so a
// reader finds the old state or the new, never a part. Returns the reason when it could not be written.
std::optional<std::string> writeStateFile(const std::filesystem::path& file, const nlohmann::json& state);

}  // namespace cvl::simemu

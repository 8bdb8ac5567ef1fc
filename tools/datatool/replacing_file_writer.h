#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string_view>

namespace cvl::datatool {

// Writes a file under a temporary name beside the target and renames it into place only when every byte was written,
// so a failure never leaves a half-written file nor destroys the one already there. Throws std::runtime_error.
void writeFileReplacing(const std::filesystem::path& target, const std::function<void(std::ostream&)>& write);
void writeFileReplacing(const std::filesystem::path& target, std::string_view bytes);

}  // namespace cvl::datatool

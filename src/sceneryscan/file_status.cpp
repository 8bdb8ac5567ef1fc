#include "sceneryscan/file_status.h"

#include <system_error>

namespace cvl {

bool gf_pathExists(const std::filesystem::path& path) {
  std::error_code failure;
  const bool found = std::filesystem::exists(path, failure);
  if (failure) {
    throw std::filesystem::filesystem_error("exists", path, failure);
  }
  return found;
}

std::filesystem::file_status gf_pathStatus(const std::filesystem::path& path) {
  std::error_code failure;
  const auto status = std::filesystem::status(path, failure);
  if (failure && status.type() != std::filesystem::file_type::not_found) {
    throw std::filesystem::filesystem_error("status", path, failure);
  }
  return status;
}

void gf_createFolder(const std::filesystem::path& folder) {
  std::error_code failure;
  std::filesystem::create_directories(folder, failure);
  if (failure) {
    throw std::filesystem::filesystem_error("create_directory", folder, failure);
  }
}

}  // namespace cvl

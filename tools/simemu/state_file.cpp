#include "simemu/state_file.h"

#include <fmt/core.h>

#include <fstream>
#include <system_error>

namespace cvl::simemu {

std::optional<std::string> writeStateFile(const std::filesystem::path& file, const nlohmann::json& state) {
  auto temporary = file;
  temporary += ".tmp";
  {
    std::ofstream stream(temporary, std::ios::binary | std::ios::trunc);
    stream << state.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    stream.flush();
    if (!stream) {
      return fmt::format("cannot write {}", temporary.string());
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, file, error);
  if (error) {
    return fmt::format("cannot rename {} to {}: {}", temporary.string(), file.string(), error.message());
  }
  return std::nullopt;
}

}  // namespace cvl::simemu

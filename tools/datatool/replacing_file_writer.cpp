#include "datatool/replacing_file_writer.h"

#include <fmt/format.h>
#include <fmt/std.h>

#include <fstream>
#include <stdexcept>

namespace cvl::datatool {

void writeFileReplacing(const std::filesystem::path& target, const std::function<void(std::ostream&)>& write) {
  std::filesystem::path temporary = target;
  temporary += ".part";
  try {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
      throw std::runtime_error(fmt::format("cannot create {}", temporary));
    }
    write(out);
    out.close();
    if (!out) {
      throw std::runtime_error(fmt::format("cannot write {}", temporary));
    }
    std::filesystem::rename(temporary, target);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw;
  }
}

void writeFileReplacing(const std::filesystem::path& target, std::string_view bytes) {
  writeFileReplacing(target, [bytes](std::ostream& out) { out.write(bytes.data(), std::ssize(bytes)); });
}

}  // namespace cvl::datatool

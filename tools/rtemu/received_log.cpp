#include "rtemu/received_log.h"

#include <fmt/format.h>

#include <iostream>
#include <stdexcept>

namespace cvl::rtemu {

ReceivedLog::ReceivedLog(const std::filesystem::path& path) : file_(path, std::ios::binary), toFile_(true) {
  if (!file_) {
    throw std::runtime_error(fmt::format("cannot create the log {}", path.string()));
  }
}

void ReceivedLog::write(std::string_view line) {
  std::scoped_lock lock(mutex_);
  std::ostream& out = toFile_ ? static_cast<std::ostream&>(file_) : std::cout;
  out << line << '\n' << std::flush;
  ++count_;
}

std::size_t ReceivedLog::count() const {
  std::scoped_lock lock(mutex_);
  return count_;
}

}  // namespace cvl::rtemu

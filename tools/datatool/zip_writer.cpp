#include "datatool/zip_writer.h"

#include <fmt/format.h>
#include <fmt/std.h>
#include <zip.h>

#include <stdexcept>

namespace cvl::datatool {
namespace {

std::string archiveError(zip_t* archive) {
  return zip_error_strerror(zip_get_error(archive));
}

}  // namespace

ZipWriter::ZipWriter(const std::filesystem::path& path) : path_(path) {
  int errorCode = 0;
  archive_ = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &errorCode);
  if (archive_ == nullptr) {
    zip_error_t error;
    zip_error_init_with_code(&error, errorCode);
    const std::string reason = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw std::runtime_error(fmt::format("cannot create {}: {}", path, reason));
  }
}

ZipWriter::~ZipWriter() {
  if (archive_ != nullptr) {
    zip_discard(archive_);
  }
}

void ZipWriter::add(std::string_view entryName, std::string bytes) {
  const std::string& stored = contents_.emplace_back(std::move(bytes));
  zip_source_t* source = zip_source_buffer(archive_, stored.data(), stored.size(), 0);
  if (source == nullptr) {
    throw std::runtime_error(fmt::format("cannot add {} to {}: {}", entryName, path_, archiveError(archive_)));
  }
  if (zip_file_add(archive_, std::string(entryName).c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
    zip_source_free(source);
    throw std::runtime_error(fmt::format("cannot add {} to {}: {}", entryName, path_, archiveError(archive_)));
  }
}

void ZipWriter::close() {
  if (zip_close(archive_) != 0) {
    throw std::runtime_error(fmt::format("cannot write {}: {}", path_, archiveError(archive_)));
  }
  archive_ = nullptr;
}

}  // namespace cvl::datatool

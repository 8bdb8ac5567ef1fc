#include "foundation/zip_archive.h"

#include <zip.h>

#include <memory>
#include <utility>

namespace cvl {
namespace {

std::string lf_zipErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

// Closes the entry's reader on every way out.
struct ZipFileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipFileHolder = std::unique_ptr<zip_file_t, ZipFileCloser>;

}  // namespace

ZipArchive ZipArchive::openForReading(const std::filesystem::path& path) {
  int code = ZIP_ER_OK;
  ZipArchive archive{zip_open(path.c_str(), ZIP_RDONLY, &code)};
  if (!archive.isOpen()) {
    archive.errorText_ = lf_zipErrorText(code);
  }
  return archive;
}

ZipArchive ZipArchive::create(const std::filesystem::path& path) {
  int code = ZIP_ER_OK;
  ZipArchive archive{zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code)};
  if (!archive.isOpen()) {
    archive.errorText_ = lf_zipErrorText(code);
  }
  return archive;
}

ZipArchive::~ZipArchive() {
  if (archive_ != nullptr) {
    zip_discard(archive_);
  }
}

ZipArchive::ZipArchive(ZipArchive&& other) noexcept
    : archive_(std::exchange(other.archive_, nullptr)),
      errorText_(std::move(other.errorText_)),
      pending_(std::move(other.pending_)) {}

ZipArchive& ZipArchive::operator=(ZipArchive&& other) noexcept {
  if (this != &other) {
    if (archive_ != nullptr) {
      zip_discard(archive_);
    }
    archive_ = std::exchange(other.archive_, nullptr);
    errorText_ = std::move(other.errorText_);
    pending_ = std::move(other.pending_);
  }
  return *this;
}

void ZipArchive::setError() {
  errorText_ = zip_error_strerror(zip_get_error(archive_));
}

std::vector<ZipEntry> ZipArchive::entries() const {
  std::vector<ZipEntry> result;
  if (archive_ == nullptr) {
    return result;
  }
  const zip_int64_t count = zip_get_num_entries(archive_, 0);
  for (zip_int64_t index = 0; index < count; ++index) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) != 0) {
      continue;  // an entry deleted in this session
    }
    ZipEntry entry;
    entry.index = static_cast<std::uint64_t>(index);
    entry.name = (stat.valid & ZIP_STAT_NAME) != 0 ? stat.name : "";
    entry.size = (stat.valid & ZIP_STAT_SIZE) != 0 ? stat.size : 0;
    result.push_back(std::move(entry));
  }
  return result;
}

std::optional<std::string> ZipArchive::read(const ZipEntry& entry) {
  std::string bytes;
  const int code = readInPieces(entry, 1U << 16U, [&bytes](const char* piece, std::size_t count) {
    bytes.append(piece, count);
    return true;
  });
  if (code != ZIP_ER_OK) {
    return std::nullopt;
  }
  return bytes;
}

int ZipArchive::readInPieces(const ZipEntry& entry, std::size_t pieceSize, const PieceSink& sink) {
  if (archive_ == nullptr) {
    errorText_ = lf_zipErrorText(ZIP_ER_INVAL);
    return ZIP_ER_INVAL;
  }
  const ZipFileHolder file{zip_fopen_index(archive_, entry.index, 0)};
  if (!file) {
    setError();
    return zip_error_code_zip(zip_get_error(archive_));
  }
  std::vector<char> buffer(pieceSize);
  while (true) {
    const zip_int64_t count = zip_fread(file.get(), buffer.data(), buffer.size());
    if (count < 0) {
      zip_error_t* error = zip_file_get_error(file.get());
      errorText_ = zip_error_strerror(error);
      return zip_error_code_zip(error);
    }
    if (count == 0) {
      return ZIP_ER_OK;
    }
    if (!sink(buffer.data(), static_cast<std::size_t>(count))) {
      errorText_ = lf_zipErrorText(ZIP_ER_WRITE);
      return ZIP_ER_WRITE;
    }
  }
}

bool ZipArchive::add(std::string_view name, std::string bytes) {
  if (archive_ == nullptr) {
    return false;
  }
  const std::string& kept = pending_.emplace_back(std::move(bytes));
  zip_source_t* source = zip_source_buffer(archive_, kept.data(), kept.size(), 0);
  if (source == nullptr) {
    setError();
    return false;
  }
  const std::string entryName{name};
  if (zip_file_add(archive_, entryName.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
    zip_source_free(source);
    setError();
    return false;
  }
  return true;
}

bool ZipArchive::close() {
  if (archive_ == nullptr) {
    return false;
  }
  if (zip_close(archive_) != 0) {
    setError();
    return false;
  }
  archive_ = nullptr;
  pending_.clear();
  return true;
}

}  // namespace cvl

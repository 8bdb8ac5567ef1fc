#include "refdata/downloader.h"

#include <fmt/format.h>
#include <strings.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <system_error>

#include "app/exit_reasons.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "refdata/site_url.h"

namespace cvl {
namespace {

// An unreachable site must not hold up the start-up; a slow one may take its time as long as bytes keep coming.
constexpr long connectTimeoutSeconds = 20;
constexpr long stalledTransferSeconds = 300;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
// Closes the output file on every way out, also when an exception leaves the transfer.
using FileHolder = std::unique_ptr<std::FILE, FileCloser>;

// Closes the file when the holder has one; false when the last bytes could not be written.
bool lf_closeFile(FileHolder& file) {
  if (!file) {
    return true;
  }
  return std::fclose(file.release()) == 0;
}

// Returns the bytes written: fewer than offered ends the transfer with a write error.
std::size_t lf_writeToFile(char* data, std::size_t size, std::size_t count, void* file) {
  return std::fwrite(data, 1, size * count, static_cast<std::FILE*>(file));
}

int lf_abortWhenStopping(void* /*unused*/, curl_off_t /*total*/, curl_off_t /*now*/, curl_off_t /*upTotal*/,
                         curl_off_t /*upNow*/) {
  return gf_stopping() ? 1 : 0;
}

// A name beside the target, unique within the process.
std::filesystem::path lf_temporaryPath(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  return path.parent_path() / fmt::format("{}.{}.download", path.filename().string(), counter++);
}

// Redirects are not followed and error statuses already fail the transfer; what remains to refuse is any other
// answer than success, which would otherwise be saved as the file (a redirect's body, for one).
std::string lf_refusedStatus(CURL* curl) {
  const char* scheme = nullptr;
  curl_easy_getinfo(curl, CURLINFO_SCHEME, &scheme);
  if (scheme == nullptr || (strcasecmp(scheme, "http") != 0 && strcasecmp(scheme, "https") != 0)) {
    return {};
  }
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  if (status >= 200 && status < 300) {
    return {};
  }
  return fmt::format("HTTP response code {}", status);
}

void lf_removeQuietly(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace

Downloader::Downloader() {
  // libcurl's own implicit set-up is not thread-safe, and downloads start on more than one thread.
  static std::once_flag initialised;
  std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  curl_.reset(curl_easy_init());
}

bool Downloader::download(const std::string& url, const std::filesystem::path& path, bool binary,
                          const ContentCheck& contentCheck) {
  if (!curl_) {
    return false;
  }
  CURL* curl = curl_.get();
  const auto temporary = lf_temporaryPath(path);
  try {
    FileHolder file{std::fopen(temporary.c_str(), binary ? "wb" : "w")};
    if (!file) {
      gf_log(fmt::format("Could not open output file: {}", path.string()));
      return false;
    }
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "CRVL");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, lf_writeToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, file.get());
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,file");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, stalledTransferSeconds);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, lf_abortWhenStopping);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(curl);
    const bool written = lf_closeFile(file);
    std::string failure = code != CURLE_OK ? curl_easy_strerror(code) : lf_refusedStatus(curl);
    if (failure.empty() && !written) {
      failure = curl_easy_strerror(CURLE_WRITE_ERROR);
    }
    if (failure.empty() && contentCheck && !contentCheck(temporary)) {
      failure = "content not usable";
    }
    if (!failure.empty()) {
      gf_log(fmt::format("Download error: '{}' for {}", failure, url));
      lf_removeQuietly(temporary);
      return false;
    }
    std::filesystem::rename(temporary, path);
    return true;
  } catch (const std::exception& exception) {
    gf_log(fmt::format("Downloader exception: '{}', {} => {}", exception.what(), url, path.string()));
    lf_removeQuietly(temporary);
    return false;
  }
}

bool gf_downloadFromSite(const std::filesystem::path& fileName, const std::filesystem::path& target,
                         const ContentCheck& contentCheck) {
  const auto url = fmt::format("{}{}/{}", gf_downloadsFolderUrl(), programVersion.major, fileName.string());
  const bool downloaded = Downloader{}.download(url, target, true, contentCheck);
  if (downloaded) {
    gf_log(fmt::format("Downloaded '{}' to '{}'", url, target.string()));
  } else {
    gf_logFlagged(fmt::format("Downloading '{}' failed !", url));
  }
  return downloaded;
}

void gf_removeDownloadedZip(const std::filesystem::path& zipPath) {
  std::error_code error;
  std::filesystem::remove(zipPath, error);
  if (error) {
    gf_logFlagged(fmt::format("Warning: could not remove downloaded zip: {}", error.message()));
  }
}

}  // namespace cvl

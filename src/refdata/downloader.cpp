#include "refdata/downloader.h"

#include <fmt/format.h>
#include <strings.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <system_error>

#include "app/exit_reasons.h"
#include "app/status_line.h"
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

// A transfer's progress goes to the status line once it has taken this long, so that the user sees why the start-up
// waits; quick transfers leave the line alone.
constexpr auto progressShownAfter = std::chrono::seconds{1};

// What the callbacks of one transfer share.
struct Transfer {
  std::FILE* file;
  curl_off_t sizeLimit;
  std::string name;  // the last part of the URL, as the status line names it
  curl_off_t written = 0;
  bool tooLarge = false;
  bool stopped = false;  // a stop request ended it
  std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
  curl_off_t shownBytes = -1;
};

// Returns the bytes written: fewer than offered ends the transfer with a write error, also when the body grows
// beyond the size limit without having announced its length.
std::size_t lf_writeToFile(char* data, std::size_t size, std::size_t count, void* userData) {
  auto& transfer = *static_cast<Transfer*>(userData);
  const auto bytes = static_cast<curl_off_t>(size * count);
  if (transfer.written + bytes > transfer.sizeLimit) {
    transfer.tooLarge = true;
    return 0;
  }
  transfer.written += bytes;
  return std::fwrite(data, 1, size * count, transfer.file);
}

// Called at least once a second while the transfer runs, also while it stalls: a requested stop ends it at once.
int lf_onProgress(void* userData, curl_off_t /*total*/, curl_off_t now, curl_off_t /*upTotal*/, curl_off_t /*upNow*/) {
  auto& transfer = *static_cast<Transfer*>(userData);
  if (gf_stopping()) {
    transfer.stopped = true;
    return 1;
  }
  if (now != transfer.shownBytes && std::chrono::steady_clock::now() - transfer.started >= progressShownAfter) {
    transfer.shownBytes = now;
    gf_setStatusLine(fmt::format("Downloading {}: {} bytes", transfer.name, now), false);
  }
  return 0;
}

void lf_setOptions(CURL* curl, const std::string& url, Transfer& transfer) {
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "CRVL");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, lf_writeToFile);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,file");
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, stalledTransferSeconds);
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, transfer.sizeLimit);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, lf_onProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
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

// Why the transfer failed; empty when it succeeded.
std::string lf_transferFailure(CURL* curl, CURLcode code, const Transfer& transfer, bool written) {
  if (transfer.tooLarge) {
    return curl_easy_strerror(CURLE_FILESIZE_EXCEEDED);
  }
  if (code != CURLE_OK) {
    return curl_easy_strerror(code);
  }
  if (auto refused = lf_refusedStatus(curl); !refused.empty()) {
    return refused;
  }
  return written ? std::string{} : curl_easy_strerror(CURLE_WRITE_ERROR);
}

void lf_removeQuietly(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace

Downloader::Downloader(std::int64_t sizeLimitBytes) : sizeLimitBytes_(sizeLimitBytes) {
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
    Transfer transfer{file.get(), sizeLimitBytes_, url.substr(url.find_last_of('/') + 1)};
    lf_setOptions(curl, url, transfer);
    const CURLcode code = curl_easy_perform(curl);
    const bool written = lf_closeFile(file);
    std::string failure = lf_transferFailure(curl, code, transfer, written);
    if (failure.empty() && contentCheck && !contentCheck(temporary)) {
      failure = "content not usable";
    }
    if (transfer.stopped) {
      gf_log(fmt::format("Download of {} stopped", url));
      lf_removeQuietly(temporary);
      return false;
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
    // A download that a stop ended is no failure of the site; the downloader has said it was stopped.
    gf_logFlaggedUnlessClosing(fmt::format("Downloading '{}' failed !", url));
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

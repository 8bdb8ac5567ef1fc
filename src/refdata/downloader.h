#pragma once

#include <curl/curl.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

// Fetching files from the maker's web site. Each transfer has its own Downloader; nothing is shared between threads.
namespace cvl {

// Whether a downloaded file, given by its temporary path, is fit to replace the target; it logs why not.
using ContentCheck = std::function<bool(const std::filesystem::path&)>;

// Far above the largest file the site offers (the installer zip), yet a bound: an endless body cannot fill the disk.
inline constexpr std::int64_t downloadSizeLimitBytes = std::int64_t{1} << 30;

class Downloader {
 public:
  explicit Downloader(std::int64_t sizeLimitBytes = downloadSizeLimitBytes);

  // Writes the body of url to path; true only when the whole body arrived with a success status (2xx; a file:// URL
  // has none) and passed the content check, when one is given. The body goes to a temporary file beside path, which
  // replaces path only then: a failed, refused, cut-short or unfit download leaves the file already there untouched.
  // Connecting is bounded, a body beyond the size limit is refused, a transfer that stalls for minutes is given up,
  // and a requested stop of the run ends a transfer at once. A transfer that takes more than a moment shows its name
  // and the bytes so far on the status line. Failures are logged, never thrown. binary false asks for text mode,
  // which on this platform writes the same bytes.
  bool download(const std::string& url, const std::filesystem::path& path, bool binary,
                const ContentCheck& contentCheck = {});

 private:
  struct EasyCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
  };
  std::unique_ptr<CURL, EasyCleanup> curl_;
  std::int64_t sizeLimitBytes_;
};

// Downloads the data file of that name from the site's folder for the program's major version, e.g.
// <downloads>/11/dbase.enc, to target (binary), when it passes the content check. Logs the outcome.
bool gf_downloadFromSite(const std::filesystem::path& fileName, const std::filesystem::path& target,
                         const ContentCheck& contentCheck = {});

// Removes a downloaded zip once it has been unpacked; a failure is logged as a warning.
void gf_removeDownloadedZip(const std::filesystem::path& zipPath);

}  // namespace cvl

#include "refdata/downloader.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "app/exit_reasons.h"
#include "foundation/open_log.h"
#include "refdata/site_folder.h"
#include "refdata/site_url.h"
#include "support/http_server.h"
#include "support/temp_folder.h"

namespace cvl {
namespace {

using test::filesIn;
using test::HttpServer;
using test::OpenLog;
using test::readFile;
using test::TempFolder;
using test::writeFile;
using testing::HasSubstr;

const std::string body{"binary\0body\r\nwith line ends\n", 29};

void writeSiteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::create_directories(path.parent_path());
  writeFile(path, bytes);
}

class DownloaderTest : public testing::Test {
 protected:
  DownloaderTest() { writeSiteFile(site.path() / "11" / "dbase.enc", body); }

  OpenLog log;
  TempFolder site;
  TempFolder target;
  HttpServer server{site.path()};
  std::filesystem::path targetFile = target.path() / "dbase.enc";
};

TEST_F(DownloaderTest, WritesTheWholeBodyAndIdentifiesItself) {
  ASSERT_TRUE(Downloader{}.download(server.url("11/dbase.enc"), targetFile, true));
  EXPECT_EQ(readFile(targetFile), body);
  EXPECT_EQ(filesIn(target.path()), std::vector<std::string>{"dbase.enc"});
  ASSERT_EQ(server.requests().size(), 1U);
  EXPECT_EQ(server.requests()[0].userAgent, "CRVL");
}

TEST_F(DownloaderTest, EveryKindOfFailureKeepsTheFileAlreadyThere) {
  server.answerStatus("/11/missing.enc", 404);
  server.answerStatus("/11/broken.enc", 500);
  server.redirect("/11/moved.enc", server.url("11/dbase.enc"));
  server.cutShort("/11/dbase.enc");
  for (const char* name : {"missing.enc", "broken.enc", "moved.enc", "dbase.enc"}) {
    SCOPED_TRACE(name);
    writeFile(targetFile, "the good old file");
    EXPECT_FALSE(Downloader{}.download(server.url(fmt::format("11/{}", name)), targetFile, true));
    EXPECT_EQ(readFile(targetFile), "the good old file");
    EXPECT_EQ(filesIn(target.path()), std::vector<std::string>{"dbase.enc"});
  }
  const auto logged = log.body();
  EXPECT_THAT(logged, HasSubstr(fmt::format("Download error: 'HTTP response code said error' for {}",
                                            server.url("11/missing.enc"))));
  EXPECT_THAT(logged,
              HasSubstr(fmt::format("Download error: 'HTTP response code 302' for {}", server.url("11/moved.enc"))));
  EXPECT_THAT(logged, HasSubstr(fmt::format("Download error: 'Transferred a partial file' for {}",
                                            server.url("11/dbase.enc"))));
  EXPECT_EQ(server.requests().size(), 4U);  // the redirect was not followed
}

TEST_F(DownloaderTest, ABodyBeyondTheSizeLimitIsRefusedWithOrWithoutItsLength) {
  constexpr std::int64_t sizeLimit = 8;  // the body holds 29 bytes; half of it comes without a length
  writeFile(targetFile, "the good old file");
  server.closeEarlyWithoutLength("/11/dbase.enc");
  EXPECT_FALSE(Downloader{sizeLimit}.download(server.url("11/dbase.enc"), targetFile, true));
  server.repair("/11/dbase.enc");
  EXPECT_FALSE(Downloader{sizeLimit}.download(server.url("11/dbase.enc"), targetFile, true));

  EXPECT_EQ(readFile(targetFile), "the good old file");
  EXPECT_EQ(filesIn(target.path()), std::vector<std::string>{"dbase.enc"});
  const auto logged = log.body();
  const auto refusal = fmt::format("Download error: 'Maximum file size exceeded' for {}\n", server.url("11/dbase.enc"));
  EXPECT_NE(logged.find(refusal), logged.rfind(refusal)) << logged;
}

TEST_F(DownloaderTest, MissingTargetFolderFailsBeforeAnyRequest) {
  const auto nowhere = target.path() / "absent" / "dbase.enc";
  EXPECT_FALSE(Downloader{}.download(server.url("11/dbase.enc"), nowhere, true));
  EXPECT_THAT(log.body(), HasSubstr(fmt::format("Could not open output file: {}", nowhere.string())));
  EXPECT_TRUE(server.requests().empty());
}

TEST_F(DownloaderTest, StopRequestEndsAStalledTransfer) {
  server.stall("/11/dbase.enc");
  writeFile(targetFile, "the good old file");
  std::thread stopper{[this] {
    server.waitUntilStalled();
    stopRequested = true;
  }};
  EXPECT_FALSE(Downloader{}.download(server.url("11/dbase.enc"), targetFile, true));
  stopper.join();
  stopRequested = false;
  EXPECT_EQ(readFile(targetFile), "the good old file");
  EXPECT_EQ(log.body(), fmt::format("Download of {} stopped\n", server.url("11/dbase.enc")));
}

TEST_F(DownloaderTest, DataFilesComeFromTheMajorVersionFolder) {
  const test::ScopedEnvironment siteUrl{"CORVALEN_SITE_URL", server.url("downloads")};
  writeSiteFile(site.path() / "downloads" / "11" / "airports.enc", body);
  ASSERT_TRUE(gf_downloadFromSite("airports.enc", targetFile));
  EXPECT_EQ(readFile(targetFile), body);
  EXPECT_FALSE(gf_downloadFromSite("absent.enc", targetFile));

  const auto logged = log.body();
  EXPECT_THAT(logged, HasSubstr(fmt::format("Downloaded '{}' to '{}'\n", server.url("downloads/11/airports.enc"),
                                            targetFile.string())));
  EXPECT_THAT(logged, HasSubstr(fmt::format("==> Downloading '{}' failed !\n", server.url("downloads/11/absent.enc"))));
}

TEST_F(DownloaderTest, ALocalSiteFolderServesAsWell) {
  const test::ScopedEnvironment siteUrl{"CORVALEN_SITE_URL", "file://" + site.path().string()};
  ASSERT_TRUE(gf_downloadFromSite("dbase.enc", targetFile));
  EXPECT_EQ(readFile(targetFile), body);
  EXPECT_FALSE(gf_downloadFromSite("absent.enc", targetFile));
  EXPECT_EQ(readFile(targetFile), body);
}

TEST(SiteUrl, OnlyWebAndFileAddressesAreTaken) {
  const OpenLog log;
  const std::string builtIn = [] {
    const test::ScopedEnvironment unset{"CORVALEN_SITE_URL", std::nullopt};
    return gf_downloadsFolderUrl();
  }();
  EXPECT_EQ(builtIn.back(), '/');
  {
    const test::ScopedEnvironment siteUrl{"CORVALEN_SITE_URL", "https://example.org/downloads"};
    EXPECT_EQ(gf_downloadsFolderUrl(), "https://example.org/downloads/");
  }
  const test::ScopedEnvironment siteUrl{"CORVALEN_SITE_URL", "ftp://example.org/downloads/"};
  EXPECT_EQ(gf_downloadsFolderUrl(), builtIn);
  EXPECT_THAT(log.body(), HasSubstr("CORVALEN_SITE_URL 'ftp://example.org/downloads/' ignored"));
}

}  // namespace
}  // namespace cvl

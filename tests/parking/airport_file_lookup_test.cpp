#include "parking/airport_file_lookup.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "airport_files_fixture.h"
#include "app/exit_reasons.h"
#include "app/sim_choice.h"
#include "parking/destination_stand.h"
#include "support/http_server.h"

namespace cvl {
namespace {

using test::apfParameter;
using test::apfXml;
using test::writeFile;

class AirportFileLookup : public test::AirportFiles {
 protected:
  void TearDown() override {
    msfs2020Mode = true;
    stopRequested = false;
    AirportFiles::TearDown();
  }

  // The maker's site on loopback (which serves the names as requested, "%20" included).
  void serveSite() {
    std::filesystem::create_directories(site_.path() / "MSFS/archive/stock");
    std::filesystem::create_directories(site_.path() / "MSFS2024/archive/thirdparty/Big%20Airports");
    const std::string stands =
        "<parkpos id=\"A1\" latitude=\"50.0340\" longitude=\"8.5710\"/>"
        "<parkpos id=\"A2\" latitude=\"50.0300\" longitude=\"8.5600\"/>";
    writeFile(site_.path() / "MSFS/archive/stock/EDDF.xml", apfXml(apfParameter("altitude", "364"), stands));
    writeFile(site_.path() / "MSFS2024/archive/thirdparty/Big%20Airports/EDDK.xml",
              apfXml(apfParameter("altitude", "302"), stands));
    writeFile(site_.path() / "MSFS/archive/stock/EDDL.xml", "<root><parkpositions>");
    server_ = std::make_unique<test::HttpServer>(site_.path());
    siteUrl_ = std::make_unique<test::ScopedEnvironment>("CORVALEN_SITE_URL", server_->url());
  }

  test::TempFolder site_;
  std::unique_ptr<test::HttpServer> server_;
  std::unique_ptr<test::ScopedEnvironment> siteUrl_;
};

TEST_F(AirportFileLookup, RedirectsComeFirstThenFilesThenTheStockFile) {
  EXPECT_EQ(gf_findApf("EDDF"), "archive/stock/EDDF.xml");
  EXPECT_TRUE(gf_hasAirportFile("EDDF"));
  EXPECT_EQ(gf_findApf("EDDK"), "") << "no stands in the airports database, no local file";
  EXPECT_FALSE(gf_hasAirportFile("EDDK"));

  writeFile("airports/my_simaddon/EDDK.xml", "");
  EXPECT_EQ(gf_findApf("EDDK"), "airports/my_simaddon/EDDK.xml");
  writeFile("airports/my_simaddon/EDDK.txt", "EDDK.XML  \r\n");
  EXPECT_EQ(gf_findApf("EDDK"), "EDDK.XML") << "trailing blanks removed, case ignored";
  writeFile("airports/my_thirdparty/EDDK.xml", "");
  EXPECT_EQ(gf_findApf("EDDK"), "airports/my_thirdparty/EDDK.xml");
  writeFile("airports/my_thirdparty/EDDK.txt", "archive/thirdparty/Big%20Airports/EDDK.txt\n");
  EXPECT_EQ(gf_findApf("EDDK"), "airports/my_thirdparty/EDDK.xml") << "a redirect to a .txt does not count";
  writeFile("airports/my_thirdparty/EDDK.txt", "archive/thirdparty/Big%20Airports/EDDK.xml\nsecond line\n");
  EXPECT_EQ(gf_findApf("EDDK"), "archive/thirdparty/Big%20Airports/EDDK.xml");
  EXPECT_TRUE(gf_hasAirportFile("EDDK"));
}

TEST_F(AirportFileLookup, StockFilesComeFromTheSitesMsfsFolderInEitherSimulator) {
  serveSite();
  msfs2020Mode = false;
  EXPECT_EQ(gf_downloadAirportFile("archive/stock/EDDF.xml", "got.xml"), "");
  EXPECT_EQ(gf_downloadAirportFile("archive/thirdparty/Big%20Airports/EDDK.xml", "got2.xml"), "");
  const auto requests = server_->requests();
  ASSERT_EQ(requests.size(), 2U);
  EXPECT_EQ(requests[0].path, "/MSFS/archive/stock/EDDF.xml");
  EXPECT_EQ(requests[1].path, "/MSFS2024/archive/thirdparty/Big%20Airports/EDDK.xml");

  writeFile("got.xml", "an older copy");
  const std::string failure = gf_downloadAirportFile("archive/stock/LOWW.xml", "got.xml");
  EXPECT_EQ(failure, "failed to download: '" + server_->url("MSFS/archive/stock/LOWW.xml") + "'");
  EXPECT_FALSE(std::filesystem::exists("got.xml")) << "no stale copy is read for a file that failed";
}

TEST_F(AirportFileLookup, AStopDuringTheDownloadIsNoFailureOfTheSite) {
  serveSite();
  server_->stall("/MSFS/archive/stock/EDDF.xml");
  std::thread stopper{[this] {
    server_->waitUntilStalled();
    stopRequested = true;
  }};
  const std::string failure = gf_downloadAirportFile("archive/stock/EDDF.xml", "got.xml");
  stopper.join();

  EXPECT_NE(failure, "") << "the caller still learns that there is no file";
  EXPECT_FALSE(std::filesystem::exists("got.xml"));
  const std::string logged = logText();
  EXPECT_NE(logged.find(fmt::format("Download of {} stopped\n", server_->url("MSFS/archive/stock/EDDF.xml"))),
            std::string::npos)
      << logged;
  EXPECT_EQ(logged.find("failed"), std::string::npos) << logged;
}

TEST_F(AirportFileLookup, APublisherIsNamedOrAnAuthorOtherThanTheFixedOne) {
  const auto withParameters = [](const std::string& parameters) {
    writeFile("apf.xml", apfXml(parameters, ""));
    return gf_apfHasPublisher("apf.xml");
  };
  EXPECT_TRUE(withParameters(apfParameter("publisher", "Big Airports")));
  EXPECT_TRUE(withParameters(apfParameter("publisher", "") + apfParameter("manufacturer", "Acme")));
  EXPECT_FALSE(withParameters(apfParameter("manufacturer", "varno") + apfParameter("creator", "Bob")));
  EXPECT_TRUE(withParameters(apfParameter("creator", "Bobby")));
  EXPECT_FALSE(gf_apfHasPublisher("missing.xml"));
  EXPECT_NE(logText().find("==> 'missing.xml' not found"), std::string::npos);
}

TEST_F(AirportFileLookup, TheNearestStandOfAnotherAirportIsMeasuredInItsFile) {
  serveSite();
  std::string standId = "old";
  const double remote = gf_readDestApfForClosestStand(AirportList[0], {50.0341, 8.5710}, standId);
  EXPECT_NEAR(remote, 0.006, 1e-3);
  EXPECT_EQ(standId, "A1");
  EXPECT_FALSE(std::filesystem::exists("airport.xml")) << "the fetched file is removed after use";

  EXPECT_EQ(gf_readDestApfForClosestStand(AirportList[1], {50.0341, 8.5710}, standId), 100.0);
  EXPECT_EQ(standId, "") << "EDDK has no file";
  EXPECT_EQ(gf_readDestApfForClosestStand(AirportList[2], {51.0, 6.0}, standId), 100.0);
  EXPECT_FALSE(std::filesystem::exists("airport.xml")) << "also a file that does not load is removed";

  writeFile("airports/my_thirdparty/EDDK.xml",
            apfXml("",
                   "<parkpos id=\"Z\" latitude=\"0\" longitude=\"0\"/>"
                   "<parkpos id=\"K1\" latitude=\"50.8659\" longitude=\"7.2427\"/>"));
  EXPECT_NEAR(gf_readDestApfForClosestStand(AirportList[1], {50.8659, 7.1427}, standId), 3.79, 0.01);
  EXPECT_EQ(standId, "K1");
  EXPECT_EQ(gf_readDestApfForClosestStand(AirportList[1], {10.0, 7.1427}, standId), 100.0) << "farther than 100 nm";
}

}  // namespace
}  // namespace cvl

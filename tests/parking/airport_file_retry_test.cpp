#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

#include "app/closing_down.h"
#include "app/run_loop.h"
#include "app/status_line.h"
#include "foundation/constants.h"
#include "parking/park_airport_file.h"
#include "static_parking_fixture.h"
#include "support/http_server.h"
#include "support/sample_data.h"

namespace cvl::test {
namespace {

using namespace std::chrono_literals;

// The sample airport EDDF and EDDK, whose files the maker's site on loopback may or may not have, and EDFE 5 nm
// south-east of EDDF, which has none. The static parking update runs every 16 s of the run loop's clock, which the
// test steps.
class AirportFileRetry : public StaticParking {
 protected:
  void SetUp() override {
    StaticParking::SetUp();
    AirportList = {Airport{"EDDF", "FRA", 50.0333, 8.5706, 364.0, 180},
                   Airport{"EDDK", "CGN", 50.8659, 7.1427, 302.0, 90},
                   Airport{"EDFE", "QEF", 49.9600, 8.6458, 384.0, 0}};
    std::filesystem::create_directories(myThirdPartyFolder);
    std::filesystem::create_directories(site_.path() / "MSFS/archive/stock");
    runClock.now = [this] { return now_; };
    userOnGroundKnown = true;
    setNow(at(2, 20));
  }

  void TearDown() override {
    runClock = savedClock_;
    parkAirportFileLoaded = false;
    gf_resetParkAirport();
    StaticParking::TearDown();
  }

  void putSampleFileOnSite() const {
    std::filesystem::copy_file(sampleDataFolder() / "airports/archive/stock/EDDF.xml",
                               site_.path() / "MSFS/archive/stock/EDDF.xml");
  }

  // The updates of that long a stay where the user is.
  void stay(std::chrono::seconds duration) {
    for (auto stayed = 0s; stayed < duration; stayed += 16s) {
      now_ += 16s;
      gf_updateStaticParking(false);
    }
  }

  // The user stands at A10 of the sample airport for that long.
  void standAtTheSampleAirport(std::chrono::seconds duration) {
    setUserOnGround(true, 50.049, 8.562);
    stay(duration);
  }

  std::size_t requestsFor(const std::string& code) const {
    const auto requests = server_.requests();
    return static_cast<std::size_t>(std::count_if(requests.begin(), requests.end(), [&](const HttpServer::Request& r) {
      return r.path == "/MSFS/archive/stock/" + code + ".xml";
    }));
  }
  std::size_t sampleFileRequests() const { return requestsFor("EDDF"); }

  static std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
      ++count;
    }
    return count;
  }

  TempFolder site_;
  HttpServer server_{site_.path()};
  ScopedEnvironment siteUrl_{"CORVALEN_SITE_URL", server_.url()};
  RunClock savedClock_ = runClock;
  RunTime now_{};
};

TEST_F(AirportFileRetry, AFileTheSiteLacksIsAskedForTwiceInFourMinutesAndReadWhenTheSiteHasItAgain) {
  standAtTheSampleAirport(4min);
  EXPECT_LE(sampleFileRequests(), 2U);
  EXPECT_TRUE(currentParkAirport.code.empty());
  EXPECT_NE(gf_statusText().find("failed to download: '" + server_.url("MSFS/archive/stock/EDDF.xml") + "'"),
            std::string::npos)
      << gf_statusText();
  EXPECT_LE(countOf(log_.body(), "User aircraft on the ground at EDDF\n"), 2U);

  putSampleFileOnSite();
  standAtTheSampleAirport(4min + 32s);
  EXPECT_EQ(currentParkAirport.code, "EDDF");
  EXPECT_EQ(parkPositions.size(), 40U);
  EXPECT_TRUE(mainWindow.parkedFileOk);
  EXPECT_FALSE(parkedEntries.empty()) << "static aircraft chosen for the stands";
  EXPECT_EQ(gf_statusText().find("failed"), std::string::npos) << gf_statusText();
}

TEST_F(AirportFileRetry, MeasuringTheStandsOfANeighbourWaitsForAFileTheSiteLacksAsWell) {
  // Nearer EDFE, which has no file; EDDF's stands are measured to see whether the user stands at EDDF after all.
  setUserOnGround(true, 49.99, 8.62);
  stay(4min);
  EXPECT_LE(sampleFileRequests(), 2U);
  EXPECT_EQ(gf_statusText(), "User aircraft on the ground at EDFE, no airport file found");
  EXPECT_LE(countOf(log_.body(), "Download error"), 2U);
}

TEST_F(AirportFileRetry, TheWaitGrowsToHalfAnHourAndEachAirportWaitsOnItsOwn) {
  standAtTheSampleAirport(32s);
  ASSERT_EQ(sampleFileRequests(), 1U);
  setUserOnGround(true, 50.8659, 7.1427);  // at EDDK, whose file the site lacks as well
  stay(32s);
  EXPECT_EQ(requestsFor("EDDK"), 1U);
  standAtTheSampleAirport(32s);
  EXPECT_EQ(sampleFileRequests(), 1U) << "EDDF still waits after EDDK failed";
  EXPECT_NE(gf_statusText().find("at EDDF, next try in 1 min: failed to download"), std::string::npos)
      << gf_statusText();

  // 2, 4, 8 and 16 minutes after the failures in a row, then half an hour after each.
  standAtTheSampleAirport(1h - 96s);
  EXPECT_EQ(sampleFileRequests(), 5U);
  standAtTheSampleAirport(2h);
  EXPECT_EQ(sampleFileRequests(), 9U);
  EXPECT_EQ(requestsFor("EDDK"), 1U);
}

TEST_F(AirportFileRetry, AFileThatDoesNotReadWaitsAlikeAndARestartOrAFileOfTheUsersOwnEndsTheWait) {
  writeFile(site_.path() / "MSFS/archive/stock/EDDF.xml", "<root><parkpositions>");
  parkAirports.push_back({"EDDF", "", 50.0333, 8.5706, 0.0});
  setUserOnGround(false, 50.2, 8.5706, 3000.0);  // 10 nm north, on the way in
  stay(4min);
  EXPECT_EQ(sampleFileRequests(), 2U);
  EXPECT_EQ(gf_statusText().rfind("EDDF in sight at 10.0 nm, next try in ", 0), 0U) << gf_statusText();
  EXPECT_NE(gf_statusText().find("archive/stock/EDDF.xml: could not load file"), std::string::npos);

  lf_resetForRestart();
  setUserOnGround(false, 50.2, 8.5706, 3000.0);
  stay(32s);
  EXPECT_EQ(sampleFileRequests(), 3U) << "a new run asks at once";

  std::filesystem::copy_file(sampleDataFolder() / "airports/archive/stock/EDDF.xml", myThirdPartyFolder / "EDDF.xml");
  stay(32s);
  EXPECT_EQ(currentParkAirport.code, "EDDF");
  EXPECT_EQ(parkPositions.size(), 40U);
  EXPECT_EQ(sampleFileRequests(), 3U);
}

}  // namespace
}  // namespace cvl::test

#include "refdata/airports_database.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "foundation/user_error.h"
#include "program_folder.h"

namespace cvl {
namespace {

using test::ProgramFolder;
using ::testing::HasSubstr;

class AirportsDatabaseTest : public ::testing::Test {
 protected:
  AirportsDatabaseTest() { gf_forgetAirports(); }
  ~AirportsDatabaseTest() override { gf_forgetAirports(); }

  // Reads airports given as "<airport .../>" elements.
  static bool readAirports(std::string_view elements) {
    gf_writeSealedDataFile(airportsEncPath, fmt::format("<root><airports>{}</airports></root>", elements));
    return gf_readAirports();
  }

  // An airport the given number of nautical miles north of (0, 0): one minute of arc each.
  static std::string airportNorth(std::string_view code, double nauticalMiles) {
    return fmt::format(R"(<airport code="{}" iata="X" lat="{}" lon="0" alt="0" stands="1"/>)", code,
                       nauticalMiles / 60.0);
  }

  const ProgramFolder folder_;
};

// Nearest-stand answers by airport code, counting the questions.
struct StandAnswers {
  std::map<std::string, double> distances;
  int questions{0};

  NearestStandQuery query() {
    return [this](const Airport& airport, const LatLon&, std::string& standId) {
      ++questions;
      standId = airport.code + " stand 7";
      return distances.contains(airport.code) ? distances.at(airport.code) : 100.0;
    };
  }
};

TEST_F(AirportsDatabaseTest, ReadsTheSampleOnceAndSortsItByCode) {
  gf_writeSealedDataFile(airportsEncPath, test::readFile(test::sampleDataFolder() / "airports.xml"));
  ASSERT_TRUE(gf_readAirports());
  EXPECT_FALSE(std::filesystem::exists(airportsXmlPath));
  EXPECT_GT(AirportList.size(), 400U);
  EXPECT_TRUE(std::is_sorted(AirportList.begin(), AirportList.end(),
                             [](const Airport& a, const Airport& b) { return a.code < b.code; }));
  EXPECT_EQ(AirportCodes.size(), AirportList.size());
  const auto* eham = gf_findAirportByCode("EHAM");
  ASSERT_NE(eham, nullptr);
  EXPECT_EQ(eham->iata, "AMS");
  EXPECT_DOUBLE_EQ(eham->alt, -11.0);
  EXPECT_TRUE(gf_isAirportCode("EHAM"));
  EXPECT_EQ(gf_findAirportByCode("EHAX"), nullptr);
  EXPECT_EQ(gf_closestAirport({52.31, 4.76}), eham);
  EXPECT_EQ(gf_closestAirport({0.0, 0.0}), nullptr);

  std::filesystem::remove(airportsEncPath);
  EXPECT_TRUE(gf_readAirports());  // answered without a file
}

TEST_F(AirportsDatabaseTest, AirportsWithoutUsableAttributesAreSkipped) {
  ASSERT_TRUE(readAirports(R"(
    <airport code="NOST" iata="NST" lat="1" lon="2" alt="3"/>
    <airport code="NOIA" lat="1" lon="2" alt="3" stands="4"/>
    <airport code="NOLA" iata="NLA" lon="2" alt="3" stands="4"/>
    <airport code="NOAL" iata="NAL" lat="1" lon="2" stands="4"/>
    <airport iata="NCO" lat="1" lon="2" alt="3" stands="4"/>
    <airport code="FAR1" iata="FA1" lat="91" lon="2" alt="3" stands="4"/>
    <airport code="FAR2" iata="FA2" lat="1" lon="nan" alt="3" stands="4"/>)"));
  ASSERT_EQ(AirportList.size(), 1U);
  EXPECT_EQ(AirportList.front().code, "NOST");
  EXPECT_EQ(AirportList.front().stands, 0);
  EXPECT_EQ(gf_findAirportByPrefix("anything"), "");  // no airport without a code
  const auto log = folder_.log();
  for (const auto* line : {"==> Missing stands for airport 'NOST'\n", "==> Missing IATA for airport 'NOIA'\n",
                           "==> Missing latLons for airport 'NOLA'\n", "==> Missing alt for airport 'NOAL'\n",
                           "==> Missing code for airport (IATA 'NCO'), skipped\n",
                           "Error parsing coordinates for airport 'FAR1': not a position on Earth\n",
                           "Error parsing coordinates for airport 'FAR2': not a position on Earth\n"}) {
    EXPECT_THAT(log, HasSubstr(line));
  }
}

TEST_F(AirportsDatabaseTest, TheClosestAirportIsTheBestFoundWalkingTheList) {
  ASSERT_TRUE(readAirports(airportNorth("AAAX", 4.0) + airportNorth("AAAY", 2.0) + airportNorth("AAAZ", 3.0)));
  StandAnswers stands;
  EXPECT_EQ(gf_closestAirport({0.0, 0.0}, stands.query())->code, "AAAY");
  EXPECT_EQ(stands.questions, 2);  // Y and its neighbour X, never Z
  EXPECT_THAT(folder_.log(), HasSubstr("Airport AAAY is closest, neighbour is AAAX\n"));

  stands.distances = {{"AAAY", 0.5}, {"AAAX", 0.1}};
  EXPECT_EQ(gf_closestAirport({0.0, 0.0}, stands.query())->code, "AAAX");
  EXPECT_THAT(folder_.log(),
              HasSubstr("Airport AAAY is closest, but stand AAAX stand 7 at neighbouring airport AAAX is closer "
                        "at 185 meters ...\n"));
  stands.distances = {{"AAAY", 0.1}, {"AAAX", 0.1}};
  EXPECT_EQ(gf_closestAirport({0.0, 0.0}, stands.query())->code, "AAAY");
}

TEST_F(AirportsDatabaseTest, ALaterFartherAirportIsNoNeighbour) {
  ASSERT_TRUE(readAirports(airportNorth("AAAX", 2.0) + airportNorth("AAAY", 4.0) + airportNorth("AAAZ", 2.0) +
                           airportNorth("FARR", 5.1)));
  StandAnswers stands;
  EXPECT_EQ(gf_closestAirport({0.0, 0.0}, stands.query())->code, "AAAX");  // Z is as near, not nearer
  EXPECT_EQ(stands.questions, 0);
  EXPECT_EQ(gf_closestAirport({4.99 / 60.0 + 5.1 / 60.0, 0.0}, stands.query())->code, "FARR");
  EXPECT_EQ(gf_closestAirport({-0.1, 0.0}, stands.query()), nullptr);
}

TEST_F(AirportsDatabaseTest, PrefixesAndPathsName) {
  ASSERT_TRUE(readAirports(airportNorth("EGLL", 50) + airportNorth("EHAM", 60) + airportNorth("EH", 70)));
  EXPECT_EQ(gf_findAirportByPrefix("ehamx"), "EH");  // the shorter code sorts first
  EXPECT_EQ(gf_findAirportByPrefix("egll-scenery"), "EGLL");
  EXPECT_EQ(gf_findAirportByPrefix("E"), "");
  EXPECT_EQ(gf_findAirportByPath("/Community/myscenery-eham-airport/scenery"), "EHAM");
  EXPECT_EQ(gf_findAirportByPath("/Community/EGLL/scenery"), "");
  EXPECT_EQ(gf_findAirportByPath("/Community/x-Egll-"), "EGLL");
}

TEST_F(AirportsDatabaseTest, UnreadableFilesAreError88AndReadAgainNextTime) {
  const auto expectError = [](std::string_view text) {
    try {
      gf_readAirports();
      ADD_FAILURE() << "no error 88";
    } catch (const UserErrorException& error) {
      EXPECT_EQ(std::string_view{error.what()}, text);
    }
    EXPECT_FALSE(std::filesystem::exists(airportsXmlPath));
  };
  const std::string damaged = "88: input/airports.enc is damaged and will be downloaded again at the next start";
  expectError("88: input/airports.enc not available");
  test::writeFile(airportsEncPath, gf_sealDataBytes("<root><airports/></root>").substr(0, 40));
  expectError(damaged);
  gf_writeSealedDataFile(airportsEncPath, "<root><airfields/></root>");
  expectError(damaged);
  EXPECT_THAT(folder_.log(), HasSubstr("==> Missing <airports> root in: input/airports.xml\n"));
  gf_writeSealedDataFile(airportsEncPath, "<root><airports>");
  EXPECT_THROW(gf_readAirports(), UserErrorException);

  EXPECT_TRUE(readAirports(airportNorth("EHAM", 1)));
  EXPECT_EQ(AirportList.size(), 1U);
}

}  // namespace
}  // namespace cvl

#include "parking/park_airports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "airport_files_fixture.h"
#include "app/status_line.h"
#include "foundation/strings.h"
#include "foundation/text_encoding.h"
#include "parking/destination_park_airport.h"
#include "parking/user_stand.h"
#include "simlink/user_aircraft.h"

namespace cvl {
namespace {

using test::apfParameter;
using test::apfXml;
using test::readFile;
using test::writeFile;

class ParkAirports : public test::AirportFiles {
 protected:
  void TearDown() override {
    userOnGroundKnown = false;
    userStandName.clear();
    gf_resetUserAircraft();
    mainWindow.reservedStandName = std::string{};
    gf_clearStatusLine();
    AirportFiles::TearDown();
  }

  static std::vector<std::string> codes() {
    std::vector<std::string> result;
    for (const ParkAirport& airport : parkAirports) {
      result.push_back(lf_parkAirportText(airport));
    }
    return result;
  }
  static std::string listFile() { return readFile("airports/my_park_airports.txt"); }
  // The user stands still on the ground at the stand of that name.
  static void userStandsAt(const std::string& stand, double knots = 0.5) {
    userOnGroundKnown = true;
    {
      const std::lock_guard lock{userAcMutex};
      userAcSnapshot.groundVelocity = knots;
    }
    userStandName = stand;
  }
};

TEST_F(ParkAirports, TheListIsReadInReverseOrderAndTheThirdPartyAirportsComeOnTop) {
  writeFile("airports/my_park_airports.txt", "EDDF,A12\r\n\n  \nEDDK, B 3 \nEDDF\nEDDL,X,Y\nLOWW\n");
  writeFile("airports/my_thirdparty/EDDL.xml", "");
  writeFile("airports/my_thirdparty/EDDL.txt", "");
  writeFile("airports/my_thirdparty/ZZZZ.xml", "");
  EXPECT_FALSE(lf_readMyParkAirports()) << "LOWW is unknown";
  EXPECT_EQ(codes(), (std::vector<std::string>{"EDDL", "EDDK (B 3)", "EDDF (A12)"}));
  EXPECT_EQ(gf_statusText(), "airport LOWW is unknown");
  const std::string log = logText();
  EXPECT_NE(log.find("==> my_park_airports.txt:EDDF double, skipped"), std::string::npos);
  EXPECT_NE(log.find("==> my_park_airports.txt:EDDL,X,Y wrong syntax, skipped"), std::string::npos);
  EXPECT_NE(log.find("2 park airports read from 'my_park_airports.txt'"), std::string::npos);
  EXPECT_NE(log.find("1 park airport added from my_thirdparty folder(-s)"), std::string::npos);

  std::filesystem::remove("airports/my_park_airports.txt");
  std::filesystem::remove_all("airports/my_thirdparty");
  EXPECT_TRUE(lf_readMyParkAirports()) << "missing files are no error";
  EXPECT_TRUE(parkAirports.empty());
  EXPECT_NE(logText().find("airports/my_park_airports.txt not found"), std::string::npos);
}

TEST_F(ParkAirports, TheFrontCandidateIsWrittenSortedIntoTheFile) {
  parkAirports = {ParkAirport{"EDDF", "A12", 50.0, 8.5, 0.0}};
  gf_addMyParkAirport();
  EXPECT_EQ(listFile(), "EDDF,A12\n");
  EXPECT_NE(logText().find("my_park_airports.txt created with EDDF,A12"), std::string::npos);

  writeFile("airports/my_park_airports.txt", "EDDK\n\nEDDF,OLD\nEDDL\nEDDL\n");
  gf_addMyParkAirport();
  EXPECT_EQ(listFile(), "EDDF,A12\nEDDK\nEDDL\n");
  parkAirports.front().code = "EDDC";
  parkAirports.front().reservedStand.clear();
  gf_addMyParkAirport();
  EXPECT_EQ(listFile(), "EDDC\nEDDF,A12\nEDDK\nEDDL\n");
  EXPECT_NE(logText().find("my_park_airports.txt:EDDC new entry"), std::string::npos);
}

TEST_F(ParkAirports, TheDestinationComesFirstAndANewOneIsWrittenDown) {
  parkAirports = {ParkAirport{"EDDK", "", 50.9, 7.1, 3.0}, ParkAirport{"EDDF", "A1", 50.0, 8.5, 9.0}};
  gf_addDestinationParkAirport("EDDF", 1.0, 2.0);
  EXPECT_EQ(codes(), (std::vector<std::string>{"EDDF (A1)", "EDDK"}));
  EXPECT_DOUBLE_EQ(parkAirports.front().distance, 9.0) << "moved unchanged";
  EXPECT_FALSE(std::filesystem::exists("airports/my_park_airports.txt"));
  gf_addDestinationParkAirport("EDDL", 51.3, 6.8);
  EXPECT_EQ(codes(), (std::vector<std::string>{"EDDL", "EDDF (A1)", "EDDK"}));
  EXPECT_EQ(listFile(), "EDDL\n");
}

TEST_F(ParkAirports, TheStandTheUserStandsAtBecomesTheReservedStandOnTheWorker) {
  parkAirports = {ParkAirport{"EDDF", "A1", 50.0, 8.5, 0.0}};
  userStandsAt("B7", 5.0);
  gf_watchUserStand();
  gf_applyWatchedUserStand();
  EXPECT_EQ(parkAirports.front().reservedStand, "A1") << "the user is still rolling";

  userStandsAt("B7");
  gf_watchUserStand();
  EXPECT_EQ(parkAirports.front().reservedStand, "A1") << "the SimClient thread leaves the list alone";
  gf_applyWatchedUserStand();
  EXPECT_EQ(parkAirports.front().reservedStand, "B7");
  EXPECT_EQ(listFile(), "EDDF,B7\n");

  userStandsAt("C3");
  gf_watchUserStand();
  currentParkAirport = AirportList[1];
  gf_applyWatchedUserStand();
  EXPECT_EQ(parkAirports.front().reservedStand, "B7") << "the front candidate is not the park airport";
}

// An airport file's maker may write any bytes into its stand ids and names, and the user may write any into the list of
// park airports: the lines that tell of them show them as every stand line does, so that Log.txt stays UTF-8 text
// that neither breaks a line nor drives the terminal that shows it.
TEST_F(ParkAirports, OddBytesFromAirportFilesAndTheListFileReachLogTxtEscaped) {
  writeFile("airports/my_thirdparty/EDDF.xml",
            apfXml(apfParameter("altitude", "364") + apfParameter("airport_name", "Frankfurt\xff") +
                       apfParameter("publisher", "Big\x1b[2J"),
                   "<parkpos id=\"A\xff"
                   "1\" latitude=\"50.03\" longitude=\"8.57\" radius=\"20\"/>"
                   "<parkpos id=\"B\x85"
                   "2\" latitude=\"50.04\" longitude=\"8.57\" radius=\"20\"/>"));
  ASSERT_EQ(readParkAirport("airports/my_thirdparty/EDDF.xml"), "");
  parkAirports = {ParkAirport{"EDDF", "", 50.0, 8.5, 0.0}};
  for (const ParkPos& stand : parkPositions) {
    userStandsAt(stand.id);
    gf_watchUserStand();
    gf_applyWatchedUserStand();
  }
  EXPECT_EQ(listFile(),
            "EDDF,B\x85"
            "2\n")
      << "the list keeps the stand's own bytes";
  parkAirports.front().code = "EDDK";
  gf_addMyParkAirport();
  writeFile("airports/my_park_airports.txt", "ED\x1b[2J\n");
  EXPECT_FALSE(lf_readMyParkAirports());
  EXPECT_EQ(gf_statusText(), "airport ED\\x1b[2J is unknown");
  // The user, on no stand, names another one in the list.
  mainWindow.reservedStandName = parkPositions[1].id;
  writeFile("airports/my_park_airports.txt", "EDDF,C\x1b[2J\n");
  std::string message;
  EXPECT_TRUE(gf_checkParkAirports(true, message));
  EXPECT_EQ(message, "reserved stand changed from 'B\\x852' to 'C\\x1b[2J'");

  const std::string log = logText();
  for (const std::string& line : gf_split(log, '\n')) {
    EXPECT_TRUE(gf_isCleanText(line)) << line;
  }
  for (const char* shown :
       {"Airport file read from 'airports/my_thirdparty/EDDF.xml' for Frankfurt\\xff\n",
        "publisher               : Big\\x1b[2J\n", "my_park_airports.txt created with EDDF,A\\xff1\n",
        "my_park_airports.txt:EDDF,B\\x852 updated stand\n", "my_park_airports.txt:EDDK,B\\x852 new entry\n",
        "airport ED\\x1b[2J is unknown\n"}) {
    EXPECT_NE(log.find(shown), std::string::npos) << shown << log;
  }
}

TEST_F(ParkAirports, ReReadingTakesOverAReservedStandTheUserEdited) {
  parkPositions.emplace_back("A1", std::vector<StandOption>{}, StandPlace{50.03, 8.57, 0.0}, 30.0, false, false, false);
  parkPositions.emplace_back("B7", std::vector<StandOption>{}, StandPlace{50.04, 8.57, 0.0}, 30.0, false, false, false);
  parkPositions[0].userStand = true;
  mainWindow.reservedStandName = std::string{"A1"};
  writeFile("airports/my_park_airports.txt", "EDDF,B7\n");
  userOnGroundKnown = true;

  std::string message;
  EXPECT_TRUE(gf_checkParkAirports(true, message));
  EXPECT_EQ(message, "reserved stand changed from 'A1' to 'B7'");
  EXPECT_EQ(mainWindow.reservedStandName.get(), "B7");
  EXPECT_FALSE(parkPositions[0].userStand);
  EXPECT_TRUE(parkPositions[1].userStand);

  message.clear();
  EXPECT_TRUE(gf_checkParkAirports(true, message));
  EXPECT_EQ(message, "park airports and stands are okay");
  writeFile("airports/my_park_airports.txt", "LOWW\n");
  EXPECT_FALSE(gf_checkParkAirports(true, message));
}

}  // namespace
}  // namespace cvl

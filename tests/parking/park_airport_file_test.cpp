#include "parking/park_airport_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "airport_files_fixture.h"
#include "foundation/strings.h"
#include "foundation/text_encoding.h"
#include "foundation/user_error.h"
#include "parking/learned_files.h"
#include "parking/park_airport_state.h"
#include "parking/stand_names.h"
#include "support/sample_data.h"
#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

using test::apfParameter;
using test::apfXml;
using test::writeFile;

class ParkAirportFileReading : public test::AirportFiles {
 protected:
  static constexpr const char* localName = "airports/my_thirdparty/EDDF.xml";

  // Writes EDDF's local airport file with these parameters (altitude 364 among them) and stands, and reads it.
  static std::string readLocal(const std::string& parameters, const std::string& stands = oneStand) {
    writeFile(localName, apfXml(apfParameter("altitude", "364") + parameters, stands));
    return readParkAirport(localName);
  }
  static void leave() { gf_resetParkAirport(); }
  // Leaves the airport and forgets what was learned there.
  static void leaveUnlearned() {
    gf_resetParkAirport();
    std::filesystem::remove_all(learnedFolder);
  }

  static constexpr const char* oneStand = "<parkpos id=\"A1\" latitude=\"50.03\" longitude=\"8.57\" radius=\"20\"/>";
};

TEST_F(ParkAirportFileReading, FailuresAreTextsExceptThoseTheUserMustMend) {
  EXPECT_EQ(readParkAirport(""), "gf_readApf: xml is empty");
  EXPECT_EQ(readParkAirport(localName),
            "airports/my_thirdparty/EDDF.xml: could not load file: " + std::string(localName));
  writeFile(localName, "<root><parameters/></root>");
  EXPECT_EQ(readParkAirport(localName), "airports/my_thirdparty/EDDF.xml: refused to load");
  writeFile(localName, apfXml("", oneStand));
  EXPECT_THROW(readParkAirport(localName), UserErrorException) << "no altitude";
  EXPECT_EQ(readLocal("", ""), "no stands found");
  EXPECT_FALSE(parkAirportFileLoaded) << "an airport without stands has no learned file to save";
  EXPECT_NE(logText().find("num_parkpos"), std::string::npos);
  currentParkAirport = {};
  EXPECT_EQ(readParkAirport(localName), "gf_readApf: no park airport set");
}

TEST_F(ParkAirportFileReading, StandsAreNumberedAndOverlappingStandsAreNeighbours) {
  const std::string stands =
      "<parkpos id=\"A\" latitude=\"50.0000\" longitude=\"8.5\" radius=\"18.52\"/>"
      "<parkpos id=\"B\" latitude=\"50.0003\" longitude=\"8.5\" radius=\"18.52\"/>"
      "<parkpos id=\"C\" latitude=\"50.0006\" longitude=\"8.5\" radius=\"18.52\"/>"
      "<parkpos id=\"E\" latitude=\"51.0000\" longitude=\"8.5\" radius=\"18.52\"/>"
      "<parkpos id=\"F\" latitude=\"51.000333333\" longitude=\"8.5\" radius=\"18.52\"/>";
  ASSERT_EQ(readLocal(apfParameter("airport_name", "Frankfurt") + apfParameter("RT_traffic_week", "23"), stands), "");
  ASSERT_EQ(parkPositions.size(), 5U);
  EXPECT_EQ(parkPositions[4].sid, 5U);
  EXPECT_EQ(parkPositions[0].neighbours, (std::vector<std::uint32_t>{2})) << "0.02 nm of radii over 0.018 nm";
  EXPECT_EQ(parkPositions[1].neighbours, (std::vector<std::uint32_t>{1, 3}));
  EXPECT_TRUE(parkPositions[3].neighbours.empty()) << "0.02 nm apart";
  EXPECT_TRUE(parkAirportFileLoaded);
  EXPECT_EQ(rtTrafficWeek.load(), 23);
  EXPECT_EQ(trafficReader.refElevation(), 364.0);
  EXPECT_EQ(mainWindow.standCount.load(), 5U);
  EXPECT_NE(logText().find("Airport file read from 'airports/my_thirdparty/EDDF.xml' for Frankfurt"),
            std::string::npos);

  leave();
  EXPECT_FALSE(parkAirportFileLoaded);
  EXPECT_EQ(rtTrafficWeek.load(), 0);
  EXPECT_EQ(trafficReader.refElevation(), std::nullopt);
}

TEST_F(ParkAirportFileReading, WithoutLearnedFileTheQualityOfTheDataChoosesThePasses) {
  MAX_FIT.value = 9;
  ASSERT_EQ(readLocal(apfParameter("Qf_real", "2") + apfParameter("Qf_soft", "0")), "");
  EXPECT_FALSE(PARK_SOFT.value || WEEK.value);
  EXPECT_EQ(parking_percentage.value, 30) << "EDDF has many stands in the airports database";
  leaveUnlearned();

  ASSERT_EQ(readLocal(apfParameter("Qf_real", "2") + apfParameter("Qf_soft", "1")), "");
  EXPECT_TRUE(PARK_SOFT.value && WEEK.value);
  EXPECT_FLOAT_EQ(MAX_FIT_FL.value, 24.0F);
  EXPECT_EQ(MAX_FIT.value, 47) << "kept in step with the hours";
  EXPECT_EQ(mainWindow.qualityText.get(), " 2/ 1");
  leaveUnlearned();
  EXPECT_FALSE(PARK_SOFT.value || WEEK.value) << "the user's values come back";
  EXPECT_EQ(MAX_FIT.value, 9);
  EXPECT_NE(test::readFile(folder_.path() / "config/Corvalen/parameters.xml").find("name=\"WEEK\" value=\"false\""),
            std::string::npos)
      << "and are stored";

  WEEK.value = true;
  ASSERT_EQ(readLocal(apfParameter("Qf_real", "50") + apfParameter("Qf_soft", "1")), "");
  EXPECT_FALSE(WEEK.value);
  leaveUnlearned();

  currentParkAirport = AirportList[2];
  ASSERT_EQ(readLocal(""), "");
  EXPECT_EQ(parking_percentage.value, 100) << "EDDL's airports database entry";
  EXPECT_EQ(parkQualityFactors.Qf_real, -1) << "nothing carries over from the airport before";
  EXPECT_EQ(mainWindow.qualityText.get(), "  ");
}

TEST_F(ParkAirportFileReading, LeavingSavesTheLearnedFileThatTheNextVisitReads) {
  ASSERT_EQ(readLocal(apfParameter("publisher", "Big Airports") + apfParameter("airport_name", "Frankfurt")), "");
  parkPositions[0].options.push_back(test::wednesdayOption(1, HalfHourSet{0b1111}));
  MAX_LIVE_SEL.value = 75;
  leave();
  EXPECT_EQ(MAX_LIVE_SEL.value, 500) << "the user's value is back";
  ASSERT_TRUE(std::filesystem::exists("airports/learned/thirdparty/Big Airports/EDDF.xml"));

  ASSERT_EQ(readLocal(apfParameter("publisher", "Big Airports") + apfParameter("airport_name", "Frankfurt")), "");
  ASSERT_EQ(parkPositions[0].options.size(), 1U);
  EXPECT_EQ(MAX_LIVE_SEL.value, 75) << "the airport's value from its learned file";
  EXPECT_EQ(parkQualityFactors.Qf_real, 63) << "computed from the stands with their learned options";
}

TEST_F(ParkAirportFileReading, AFileNamedInCapitalsReadsBackWhatWasLearnedWithIt) {
  const std::string capitals = "airports/my_thirdparty/EDDF.XML";  // as a redirect file may name it
  writeFile(capitals, apfXml(apfParameter("altitude", "364") + apfParameter("publisher", "stock"), oneStand));
  ASSERT_EQ(readParkAirport(capitals), "");
  parkPositions[0].options.push_back(test::wednesdayOption(1, HalfHourSet{0b1111}));
  leave();

  ASSERT_EQ(readParkAirport(capitals), "");
  EXPECT_EQ(parkPositions[0].options.size(), 1U);
}

TEST_F(ParkAirportFileReading, AHandmadeFileThatCannotBeReadWholeIsLeftAsTheUserWroteIt) {
  const std::string handmadeFile =
      apfXml(apfParameter("handmade", "true"),
             "<parkpos id=\"H1\" latitude=\"50.05\" longitude=\"8.58\" heading=\"0\" radius=\"20\"/>"
             "<parkpos id=\"H2\" latitude=\"50.06\" longitude=\"8.58\" heading=\"0\" radius=\"20\"/>"
             "<parkpos id=\"H1\" latitude=\"50.07\" longitude=\"8.58\" heading=\"0\" radius=\"20\"/>");
  const std::filesystem::path learned = "airports/learned/thirdparty/EDDF.xml";
  std::filesystem::create_directories(learned.parent_path());
  writeFile(learned, handmadeFile);
  ASSERT_EQ(readLocal(""), "");
  EXPECT_FALSE(apfHandmade);
  ASSERT_EQ(parkPositions.size(), 1U);
  EXPECT_EQ(parkPositions[0].id, "A1") << "the airport file's stands stay in use";
  parkPositions[0].options.push_back(test::wednesdayOption(1, HalfHourSet{0b1111}));
  leave();
  EXPECT_EQ(test::readFile(learned), handmadeFile);
  EXPECT_NE(logText().find("not saved"), std::string::npos);
}

TEST_F(ParkAirportFileReading, AHandmadeFileWithAStandOrOptionLeftOutIsLeftAsTheUserWroteIt) {
  const std::filesystem::path learned = "airports/learned/thirdparty/EDDF.xml";
  std::filesystem::create_directories(learned.parent_path());
  const std::string goodStand =
      "<parkpos id=\"H1\" latitude=\"50.05\" longitude=\"8.58\" heading=\"0\" radius=\"20\">"
      "<opt reg=\"D-AIBA\" day=\"3\" hh=\"4:6\"/></parkpos>";
  const std::vector<std::pair<std::string, std::string>> flaws = {
      {"<parkpos id=\"H2\" latitude=\"50,032\" longitude=\"8.58\" heading=\"0\" radius=\"20\"/>",
       "stand 'H2' has no usable position, heading or radius"},
      {"<parkpos id=\"H2\" heading=\"0\" radius=\"20\"/>", "stand 'H2' has no position"},
      {"<parkpos id=\"H2\" latitude=\"50.06\" longitude=\"8.58\" heading=\"0\" radius=\"20\">"
       "<opt reg=\"D-AIQB\" day=\"8\" hh=\"4:6\"/></parkpos>",
       "an option of stand 'H2' has no weekday 1 to 7"},
  };
  for (const auto& [flaw, why] : flaws) {
    const std::string handmadeFile =
        apfXml(apfParameter("handmade", "true") + apfParameter("altitude", "364"), goodStand + flaw);
    writeFile(learned, handmadeFile);
    ASSERT_EQ(readLocal(""), "");
    EXPECT_FALSE(apfHandmade) << why;
    ASSERT_EQ(parkPositions.size(), 1U);
    EXPECT_EQ(parkPositions[0].id, "A1") << "the airport file's stands stay in use";
    parkPositions[0].options.push_back(test::wednesdayOption(1, HalfHourSet{0b1111}));
    leave();
    EXPECT_EQ(test::readFile(learned), handmadeFile) << why;
    const std::string log = logText();
    EXPECT_NE(log.find("==> handmade '" + learned.string() + "' left out 1 "), std::string::npos) << why;
    EXPECT_NE(log.find(why), std::string::npos) << log;
    EXPECT_NE(log.find("==> handmade '" + learned.string() + "' could not be read whole and is not saved"),
              std::string::npos);
  }
}

// An option names a static aircraft to the simulator, on the window and in Log.txt: one whose callsign, registration,
// airline or type holds damaged bytes or control characters is left out, from the airport file as from a learned or
// handmade one, and Log.txt stays clean text.
TEST_F(ParkAirportFileReading, AnOptionWhoseTextsAreNotCleanIsLeftOut) {
  const auto standWith = [](const std::string& options) {
    return "<parkpos id=\"A1\" latitude=\"50.03\" longitude=\"8.57\" radius=\"20\">" + options + "</parkpos>";
  };
  const std::string damaged =
      "<opt reg=\"D-AIQB\" day=\"3\" hh=\"8:9\" cs=\"DLH4\xff\"/>"
      "<opt reg=\"D-A\x1bQ\" airl=\"DLH\" type=\"A320\" day=\"3\" hh=\"10:11\"/>"
      "<opt reg=\"\" airl=\"DL\x85H\" type=\"A320\" day=\"3\" hh=\"12:13\"/>"
      "<opt reg=\"\" airl=\"DLH\" type=\"A3\xc3\" day=\"3\" hh=\"14:15\"/>"
      "<opt reg=\"D-AIQB\" day=\"3\" hh=\"16:17\" cs=\"DLH41:DLH\x07\"/>";
  ASSERT_EQ(readLocal("", standWith(damaged + "<opt reg=\"D-AIQB\" day=\"3\" hh=\"4:6\" cs=\"DLH40\"/>")), "");
  ASSERT_EQ(parkPositions.size(), 1U);
  ASSERT_EQ(parkPositions[0].options.size(), 1U);
  EXPECT_EQ(parkPositions[0].options[0].callsign, "DLH40");
  EXPECT_EQ(parkPositions[0].options[0].id, 1U);
  leave();

  const std::filesystem::path learned = "airports/learned/thirdparty/EDDF.xml";
  writeFile(learned, apfXml("", "<parkpos id=\"A1\">" + damaged + "</parkpos>"));
  ASSERT_EQ(readLocal("", standWith("")), "");
  EXPECT_TRUE(parkPositions[0].options.empty());
  EXPECT_NE(logText().find("==> learned option of stand A1 in " + learned.string() +
                           " has a text that is not clean UTF-8, skipped, saved as *.0.xml\n"),
            std::string::npos);
  leave();

  writeFile(learned, apfXml(apfParameter("handmade", "true") + apfParameter("altitude", "364"), standWith(damaged)));
  ASSERT_EQ(readLocal("", standWith("")), "");
  EXPECT_FALSE(apfHandmade);
  EXPECT_NE(logText().find("left out 0 stands and 5 options, the first: an option of stand 'A1' has a text that is "
                           "not clean UTF-8;"),
            std::string::npos);
  for (const std::string& line : gf_split(logText(), '\n')) {
    EXPECT_TRUE(gf_isCleanText(line)) << line;
  }
}

// Saved back, a learned file would lose for good the options its reading left out: the file as it was is kept as a
// generation first, and Log.txt says so.
TEST_F(ParkAirportFileReading, ALearnedFileWithAnOptionLeftOutIsKeptAsAGenerationBeforeItsNextSave) {
  const std::filesystem::path learned = "airports/learned/thirdparty/EDDF.xml";
  const std::filesystem::path kept = "airports/learned/thirdparty/EDDF0.xml";
  const std::string asWritten =
      apfXml("",
             "<parkpos id=\"A1\"><opt reg=\"D-AIQB\" day=\"3\" hh=\"4:6\"/>"
             "<opt reg=\"D-A\x1bQ\" airl=\"DLH\" type=\"A320\" day=\"3\" hh=\"10:11\"/></parkpos>"
             "<parkpos id=\"M1\" manual=\"true\" latitude=\"50.05\" longitude=\"8.58\" radius=\"20\">"
             "<opt reg=\"D-AIBA\" day=\"5\" hh=\"20:30\"/><opt reg=\"\" airl=\"DL\x85H\" type=\"A320\" day=\"5\" "
             "hh=\"20:30\"/>"
             "</parkpos>");
  std::filesystem::create_directories(learned.parent_path());
  writeFile(learned, asWritten);

  ASSERT_EQ(readLocal(""), "");
  ASSERT_EQ(parkPositions.size(), 2U);
  EXPECT_EQ(parkPositions[0].options.size(), 1U);
  EXPECT_EQ(parkPositions[1].options.size(), 1U);
  EXPECT_EQ(test::readFile(kept), asWritten);
  const std::string log = logText();
  EXPECT_NE(log.find("==> learned option of stand A1 in " + learned.string() +
                     " has a text that is not clean UTF-8, skipped, saved as *.0.xml\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("==> manually created standid M1 in " + learned.string() +
                     " left out 1 option, the first: an option of stand 'M1' has a text that is not clean UTF-8, "
                     "saved as *.0.xml\n"),
            std::string::npos)
      << log;
  leave();
  const std::string saved = test::readFile(learned);
  EXPECT_NE(saved.find("\"D-AIQB\""), std::string::npos) << saved;
  EXPECT_NE(saved.find("\"D-AIBA\""), std::string::npos) << saved;
  EXPECT_EQ(saved.find("D-A\x1bQ"), std::string::npos);
  EXPECT_EQ(test::readFile(kept), asWritten) << "the options left out are still there";

  // Read whole, the file the save wrote keeps the generation as it is.
  writeFile(kept, "older");
  ASSERT_EQ(readLocal(""), "");
  EXPECT_EQ(test::readFile(kept), "older");
}

TEST_F(ParkAirportFileReading, ARemoteFileIsFetchedFromTheSite) {
  test::TempFolder site;
  std::filesystem::create_directories(site.path() / "MSFS/archive/stock");
  writeFile(site.path() / "MSFS/archive/stock/EDDF.xml", apfXml(apfParameter("altitude", "364"), oneStand));
  const test::ScopedEnvironment siteUrl{"CORVALEN_SITE_URL", "file://" + site.path().string() + "/"};
  EXPECT_EQ(readParkAirport("archive/stock/EDDF.xml"), "");
  EXPECT_EQ(parkPositions.size(), 1U);
  leave();
  EXPECT_EQ(readParkAirport("archive/stock/LOWW.xml").rfind("failed to download: 'file://", 0), 0U);
}

TEST_F(ParkAirportFileReading, TheSampleAirportFilesOfFrankfurtLoadWhole) {
  const auto sample = test::sampleDataFolder() / "airports";
  std::filesystem::copy_file(sample / "archive/stock/EDDF.xml", localName);
  std::filesystem::copy_file(sample / "learned/stock/EDDF.xml", "airports/learned/stock/EDDF.xml");
  ASSERT_EQ(readParkAirport(localName), "");
  EXPECT_EQ(parkPositions.size(), 41U) << "40 stands and one made by hand";
  EXPECT_FALSE(apfHandmade);
  EXPECT_TRUE(gf_findStandByName("V103")->cargo_change);
  EXPECT_TRUE(gf_findStandByName("V107")->manual);
  EXPECT_FALSE(gf_findStandByName("B24")->options.empty());
  EXPECT_EQ(logText().find("==>"), std::string::npos) << "no complaint about the sample files";
}

}  // namespace
}  // namespace cvl

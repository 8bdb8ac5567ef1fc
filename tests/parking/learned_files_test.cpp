#include "parking/learned_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "airport_files_fixture.h"
#include "parking/quality_factors.h"
#include "support/unwritable_folders.h"

namespace cvl {
namespace {

using test::apfParameter;
using test::apfXml;
using test::writeFile;

class LearnedFiles : public test::AirportFiles {
 protected:
  // Two stands as the airport file gives them; A1 with an option of its own.
  static std::vector<ParkPos> airportStands() {
    std::vector<ParkPos> stands;
    stands.emplace_back("A1", std::vector<StandOption>{fileOption()}, StandPlace{50.03, 8.57, 0.0}, 30.0, false, false,
                        false);
    stands.emplace_back("A2", std::vector<StandOption>{}, StandPlace{50.04, 8.57, 0.0}, 30.0, false, false, false);
    return stands;
  }
  static StandOption fileOption() { return test::wednesdayOption(1, HalfHourSet{0b11}, "", 1); }
  static const ParkPos* standNamed(const std::vector<ParkPos>& stands, const std::string& id) {
    const auto found =
        std::find_if(stands.begin(), stands.end(), [&id](const ParkPos& stand) { return stand.id == id; });
    return found == stands.end() ? nullptr : &*found;
  }
  // Reads the learned file written with that version over the airport's stands.
  std::vector<ParkPos> readLearned(const std::string& version, const std::string& parameters,
                                   const std::string& stands) {
    writeFile(path_, apfXml(parameters, stands, version));
    std::vector<ParkPos> read = airportStands();
    bool handmade = false;
    lf_readLearned(path_, ParkAirportFile{"Frankfurt", "stock", 364}, read, handmade);
    EXPECT_FALSE(handmade);
    return read;
  }

  const std::filesystem::path path_{"airports/learned/stock/EDDF.xml"};
  const std::string learnedStands_ =
      "<parkpos id=\"A1\" radius_change=\"true\" radius=\"50\">"
      "<opt reg=\"D-AIBA\" day=\"3\" hh=\"4:6\" cs=\"CLH1:CLH2\"/>"
      "<opt reg=\"D-AIBA\" day=\"3\" hh=\"6:8\"/>"
      "<opt reg=\"\" airl=\"DLH\" type=\"A320\" day=\"9\" hh=\"4\"/>"
      "<opt reg=\"\" airl=\"DLH\" type=\"A320\" day=\"2\" hh=\"\"/>"
      "</parkpos>"
      "<parkpos id=\"A2\" cargo_change=\"true\" cargo=\"true\"/>"
      "<parkpos id=\"X9\"><opt reg=\"D-AIBA\" day=\"3\" hh=\"4\"/></parkpos>"
      "<parkpos id=\"M1\" manual=\"true\" latitude=\"50.05\" longitude=\"8.58\" radius=\"20\">"
      "<opt reg=\"\" airl=\"EWG\" type=\"A319\" day=\"5\" hh=\"20:30\"/></parkpos>"
      "<parkpos id=\"A2\" manual=\"true\" latitude=\"50.05\" longitude=\"8.58\" radius=\"20\"/>"
      "<parkpos id=\"M2\" manual=\"true\" latitude=\"50.05\" longitude=\"8.58\" radius=\"0\"/>";
};

TEST_F(LearnedFiles, ReadingAndSavingFindTheSameFileByPublisher) {
  EXPECT_EQ(lf_learnedPathOf("EDDF", "stock"), "airports/learned/stock/EDDF.xml");
  EXPECT_EQ(lf_learnedPathOf("EDDF", "simaddon"), "airports/learned/simaddon/EDDF.xml");
  EXPECT_EQ(lf_learnedPathOf("EDDF", "Big%20Airports/Inc"), "airports/learned/thirdparty/Big Airports Inc/EDDF.xml");
  EXPECT_EQ(lf_learnedPathOf("EDDF", ""), "airports/learned/thirdparty/EDDF.xml");
  EXPECT_EQ(lf_learnedPathOf("EDDF", " .. "), "airports/learned/thirdparty/EDDF.xml")
      << "a publisher cannot lead out of the learned folder";
  EXPECT_EQ(lf_learnedPathOf("", "stock"), "");
}

TEST_F(LearnedFiles, ACurrentFileAddsItsCorrectionsStandsAndOptionsOnce) {
  const auto stands = readLearned("11.10.0", apfParameter("airport_name", "Frankfurt"), learnedStands_);
  ASSERT_EQ(stands.size(), 3U);
  const ParkPos& a1 = *standNamed(stands, "A1");
  EXPECT_TRUE(a1.radius_change);
  EXPECT_NEAR(a1.radius * 1852.0, 50.0, 1e-9);
  ASSERT_EQ(a1.options.size(), 2U) << "the overlapping twin, the bad day and the empty hours are left out";
  const StandOption& learned = a1.options[1];
  EXPECT_EQ(learned.id, 2U);
  EXPECT_EQ(learned.origin, 0U);
  EXPECT_EQ(learned.airline, "CLH");
  EXPECT_EQ(learned.callsign2, "CLH2");
  EXPECT_EQ(learned.hh.to_ulong(), 0b1110000UL);
  const ParkPos& a2 = *standNamed(stands, "A2");
  EXPECT_TRUE(a2.cargo && a2.cargo_change);
  EXPECT_FALSE(a2.manual) << "a hand-made stand of an existing id is refused";
  const ParkPos& m1 = *standNamed(stands, "M1");
  EXPECT_TRUE(m1.manual);
  ASSERT_EQ(m1.options.size(), 1U);
  EXPECT_EQ(m1.options[0].origin, 0U);

  const std::string log = logText();
  EXPECT_NE(log.find("learned stand X9 in airports/learned/stock/EDDF.xml not found?"), std::string::npos);
  EXPECT_NE(log.find("==> manually created standid A2 already exists in"), std::string::npos);
  EXPECT_NE(log.find("==> manually created standid M2 misses correct attributes in"), std::string::npos);
  EXPECT_NE(log.find("==> empty bit set"), std::string::npos);
}

TEST_F(LearnedFiles, AFileOfAnOlderVersionKeepsCorrectionsAndHandMadeStandsButNoOptions) {
  const auto stands = readLearned("11.9.5", apfParameter("airport_name", "Other name"), learnedStands_);
  ASSERT_EQ(stands.size(), 3U);
  const ParkPos& a1 = *standNamed(stands, "A1");
  EXPECT_TRUE(a1.radius_change);
  EXPECT_EQ(a1.options.size(), 1U);
  EXPECT_TRUE(standNamed(stands, "A2")->cargo_change);
  EXPECT_EQ(standNamed(stands, "M1")->options.size(), 1U);
  const std::string log = logText();
  EXPECT_NE(log.find("older CRVL version than 11.10.0"), std::string::npos);
  EXPECT_NE(log.find("Warning: learned file airport name: 'Other name' differs from archived file airport name: "
                     "'Frankfurt'"),
            std::string::npos);
}

TEST_F(LearnedFiles, TheSettingsOfTheAirportAreApplied) {
  RANGE.value = 40;
  readLearned("11.10.3",
              apfParameter("RANGE", "60") + apfParameter("AUTO_RANGE", "false") + apfParameter("MAX_LIVE_SEL", "75") +
                  apfParameter("MAX_FIT", "9") + apfParameter("WEEK", "true") +
                  apfParameter("INITIAL_LOAD_ONLY", "true"),
              "");
  EXPECT_EQ(RANGE.value, 60) << "the manual range is the one of the file";
  EXPECT_FALSE(AUTO_RANGE.value);
  EXPECT_EQ(MAX_LIVE_SEL.value, 75);
  EXPECT_EQ(MAX_FIT.value, 9);
  EXPECT_FLOAT_EQ(MAX_FIT_FL.value, 5.0F);
  EXPECT_TRUE(WEEK.value);
  EXPECT_TRUE(INITIAL_LOAD_ONLY.value);
  EXPECT_EQ(parking_percentage.value, 30) << "absent: 30";
  EXPECT_NE(logText().find(": 9 (max number of half hours, is 5.0 hrs decimal)"), std::string::npos);
}

TEST_F(LearnedFiles, AHandmadeFileReplacesTheStands) {
  writeFile(path_, apfXml(apfParameter("handmade", "true"),
                          "<parkpos id=\"H1\" latitude=\"50.05\" longitude=\"8.58\" radius=\"20\">"
                          "<opt reg=\"\" airl=\"EWG\" type=\"A319\" day=\"5\" hh=\"20:30\"/></parkpos>"));
  std::vector<ParkPos> stands = airportStands();
  bool handmade = false;
  lf_readLearned(path_, ParkAirportFile{}, stands, handmade);
  EXPECT_TRUE(handmade);
  ASSERT_EQ(stands.size(), 1U);
  EXPECT_EQ(stands[0].id, "H1");
  EXPECT_EQ(stands[0].options.size(), 1U);
}

TEST_F(LearnedFiles, AFileThatCannotBeUsedWholeIsKeptAsAGeneration) {
  const auto stands = [this](const std::string& content) {
    writeFile(path_, content);
    std::filesystem::remove("airports/learned/stock/EDDF0.xml");
    std::vector<ParkPos> read = airportStands();
    bool handmade = false;
    lf_readLearned(path_, ParkAirportFile{}, read, handmade);
    return read;
  };
  EXPECT_EQ(stands("<root><parkpositions>").size(), 2U);
  EXPECT_EQ(test::readFile("airports/learned/stock/EDDF0.xml"), "<root><parkpositions>");
  EXPECT_NE(logText().find("EDDF.xml found, but could not be loaded, saved as *.0.xml"), std::string::npos);

  stands("<root><parkpositions/></root>");
  EXPECT_TRUE(std::filesystem::exists("airports/learned/stock/EDDF0.xml")) << "a file without header";

  const std::string broken = apfXml(apfParameter("handmade", "true"), "<parkpos id=\"H1\"/><parkpos id=\"H1\"/>");
  EXPECT_EQ(stands(broken).size(), 2U) << "the airport file's stands stay";
  EXPECT_EQ(test::readFile("airports/learned/stock/EDDF0.xml"), broken);
}

// The copy that would keep what the reading left out finds the disk full: the earlier generation keeps its bytes, and
// a save while the disk is still full leaves the file as it is. The first save that finds room keeps the file as its
// generation and saves what was learned in the visit. The next park airport's file is saved as usual.
TEST_F(LearnedFiles, AFileThatCannotBeKeptAsAGenerationIsNotSavedWithoutWhatItsReadingLeftOut) {
  const std::filesystem::path folder = path_.parent_path();
  const test::SmallDisk disk{folder, 64 * 1024};
  if (!disk.available()) {
    GTEST_SKIP() << "mounting a small disk needs root";
  }
  writeFile(folder / "EDDF0.xml", "the generation before");
  // Larger than the earlier generation, with a registration in Latin-1, which is not clean UTF-8.
  const std::string learned =
      apfXml(apfParameter("airport_name", "Frankfurt"),
             "<!--" + std::string(8 * 1024, 'x') + "--><parkpos id=\"A2\"><opt reg=\"D-AIB\xE4\" day=\"3\" hh=\"4\"/>" +
                 "<opt reg=\"D-AIBA\" day=\"3\" hh=\"6\"/></parkpos>");
  writeFile(path_, learned);
  std::ofstream(folder / "filler", std::ios::binary) << std::string(64 * 1024, 'f');

  parkAirportFile = ParkAirportFile{"Frankfurt", "stock", 364};
  parkPositions = airportStands();
  bool handmade = false;
  lf_readLearned(path_, parkAirportFile, parkPositions, handmade);
  EXPECT_EQ(test::readFile(folder / "EDDF0.xml"), "the generation before");
  parkPositions[1].options.push_back(test::wednesdayOption(3, HalfHourSet{0b1100000000}, "D-AIQB"));
  learnedUpdates = 1;

  gf_saveLearnedApf();
  EXPECT_TRUE(test::readFile(path_) == learned) << "the file is not saved without the Latin-1 option";
  EXPECT_THAT(test::filesIn(folder), testing::UnorderedElementsAre("EDDF.xml", "EDDF0.xml", "filler"));
  const std::string log = logText();
  EXPECT_NE(log.find("==> copy airports/learned/stock/EDDF.xml -> airports/learned/stock/EDDF0.xml failed: "),
            std::string::npos);
  EXPECT_NE(log.find("==> learned 'airports/learned/stock/EDDF.xml' is not saved: keeping it as *.0.xml failed, and "
                     "saving it would lose what its reading left out\n"),
            std::string::npos)
      << log;

  std::filesystem::remove(folder / "filler");
  gf_saveLearnedApf();
  EXPECT_TRUE(test::readFile(folder / "EDDF0.xml") == learned);
  pugi::xml_document saved;
  ASSERT_TRUE(saved.load_file(path_.c_str()));
  EXPECT_EQ(saved.select_nodes("//parkpos[@id='A2']/opt").size(), 2U) << "D-AIBA read, D-AIQB learned in the visit";
  EXPECT_TRUE(saved.select_node("//opt[@reg='D-AIBA']"));
  EXPECT_TRUE(saved.select_node("//opt[@reg='D-AIQB']"));

  gf_resetParkAirport();
  currentParkAirport = AirportList[1];
  gf_saveLearnedApf();
  EXPECT_TRUE(std::filesystem::exists(folder / "EDDK.xml"));
}

TEST_F(LearnedFiles, SavingKeepsOnlyWhatTheAirportFileDoesNotHold) {
  parkAirportFile = ParkAirportFile{"Frankfurt", "", 364};
  parkPositions = airportStands();
  parkPositions[1].options.push_back(fileOption());
  parkPositions[1].options.back().origin = 0;
  parkPositions[1].options.back().id = 1;
  learnedUpdates = 1;
  gf_saveLearnedApf();
  EXPECT_EQ(learnedUpdates, 0);
  const std::filesystem::path saved = "airports/learned/thirdparty/EDDF.xml";
  ASSERT_TRUE(std::filesystem::exists(saved)) << "an empty publisher saves in the thirdparty folder";
  pugi::xml_document document;
  ASSERT_TRUE(document.load_file(saved.c_str()));
  EXPECT_FALSE(document.select_node("//parkpos[@id='A1']")) << "it held only the airport file's option";
  EXPECT_EQ(document.select_nodes("//parkpos[@id='A2']/opt").size(), 1U);
  EXPECT_NE(logText().find(" 'airports/learned/thirdparty/EDDF.xml' saved with 1 update"), std::string::npos);

  std::vector<ParkPos> again = airportStands();
  bool handmade = false;
  lf_readLearned(saved, parkAirportFile, again, handmade);
  EXPECT_EQ(again[1].options.size(), 1U);
  EXPECT_EQ(again[0].options.size(), 1U);
}

// The stand search sets aside (id 0) the options of aircraft it finds already present until the next adjustment.
TEST_F(LearnedFiles, OptionsSetAsideByTheStandSearchAreSavedAndReadBack) {
  parkAirportFile = ParkAirportFile{"Frankfurt", "stock", 364};
  parkPositions = airportStands();
  parkPositions[1].options = {test::wednesdayOption(0, HalfHourSet{0b1100}, "D-AIBA"),
                              test::wednesdayOption(2, HalfHourSet{0b110000}, "D-AIQB")};
  gf_saveLearnedApf();

  std::vector<ParkPos> again = airportStands();
  bool handmade = false;
  lf_readLearned(path_, parkAirportFile, again, handmade);
  ASSERT_EQ(again[1].options.size(), 2U);
  EXPECT_EQ(again[1].options[0].reg, "D-AIBA");
  EXPECT_EQ(again[1].options[0].id, 1U);
  EXPECT_EQ(again[1].options[1].reg, "D-AIQB");
}

TEST_F(LearnedFiles, AHandmadeAirportSavesEveryStandWithItsQuality) {
  apfHandmade = true;
  parkAirportFile = ParkAirportFile{"Frankfurt", "stock", 364};
  parkPositions = airportStands();
  gf_saveLearnedApf();
  pugi::xml_document document;
  ASSERT_TRUE(document.load_file(path_.c_str()));
  EXPECT_STREQ(document.select_node("//parameter[@name='handmade']").node().attribute("value").value(), "true");
  EXPECT_STREQ(document.select_node("//parameter[@name='altitude']").node().attribute("value").value(), "364");
  EXPECT_STREQ(document.select_node("//parameter[@name='Qf_real']").node().attribute("value").value(), "32");
  EXPECT_STREQ(document.select_node("//parkpos[@id='A2']").node().attribute("latitude").value(), "50.040000");
  EXPECT_EQ(document.select_nodes("//parkpos[@id='A1']/opt").size(), 1U);

  // Options the stand search set aside are saved, so they count in the quality the file states.
  parkPositions[1].options.push_back(test::wednesdayOption(0, HalfHourSet{0b1111}, "D-AIQB"));
  StandOption soft = test::wednesdayOption(0, HalfHourSet{0b1}, "D-AIBA");
  soft.real = 0;
  parkPositions[0].options.push_back(soft);
  gf_saveLearnedApf();
  apfHandmade = false;
  ASSERT_TRUE(document.load_file(path_.c_str()));
  std::vector<ParkPos> again;
  bool handmade = false;
  lf_readLearned(path_, parkAirportFile, again, handmade);
  ASSERT_EQ(again.size(), 2U);
  const QualityFactors readBack = gf_computeQualityFactors(again);
  EXPECT_EQ(readBack.Qf_real, 63);
  EXPECT_EQ(document.select_node("//parameter[@name='Qf_real']").node().attribute("value").as_int(), readBack.Qf_real);
  EXPECT_EQ(document.select_node("//parameter[@name='Qf_soft']").node().attribute("value").as_int(), readBack.Qf_soft);
}

}  // namespace
}  // namespace cvl

#include "liveries/aircraft_cfg.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "foundation/text_encoding.h"
#include "liveries/dont_use_titles.h"
#include "scan_fixture.h"

namespace cvl {
namespace {

using test::liveryTexts;
using Texts = std::vector<std::string>;

std::string utf16Bytes(std::string_view utf8, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : utf8_to_wide(utf8)) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

class AircraftCfg : public test::LiveryScanTest {
 protected:
  // Reads an aircraft.cfg of these bytes in the folder Airplanes/<name>, with folder priority 3.
  LiveryList read(std::string_view name, std::string_view bytes) {
    return lf_searchLiveriesinFile(3, write(std::filesystem::path{"Airplanes"} / name / "aircraft.cfg", bytes));
  }
  // The same with a [General] section that names the type first.
  LiveryList readType(std::string_view name, std::string_view type, std::string_view sections) {
    return read(name, fmt::format("[General]\nicao_type_designator = \"{}\"\n\n{}", type, sections));
  }
  std::string sectionPrefix(std::string_view name) const { return (folder() / "Airplanes" / name).string() + " "; }
};

TEST_F(AircraftCfg, EverySectionGivesOneLiveryOfTheFilesModel) {
  const auto liveries = readType("A320", "A320", R"([FLTSIM.0]
title = "Sample A320 Lufthansa"
atc_parking_types = "GATE"
icao_airline = "DLH"
atc_id = D-AIDP ; the first one

[fltsim.1]
title = Sample A320 Freighter
atc_parking_types = RAMP_CARGO, CARGO
icao_airline = gec
[fltsim.2]
title = Sample A320 Mixed
atc_parking_types = CARGO,GATE
icao_airline = DLHX
atc_id = D-AIDP, D-AIDQ
)");
  EXPECT_EQ(liveryTexts(liveries),
            (Texts{"DLH A320 'Sample A320 Lufthansa' D-AIDP 3 pax", "GEC A320 'Sample A320 Freighter'  3 cargo",
                   "DLH A320 'Sample A320 Mixed'  3 pax"}));
  EXPECT_TRUE(IncompleteSections.empty()) << IncompleteSections.lines().front();
}

TEST_F(AircraftCfg, CommentsAfterValuesAreNoPartOfThem) {
  const auto liveries = readType("comments", "A320", R"([fltsim.0]
title = Sample A320 Eurowings ; repaint by a friend
atc_parking_types = CARGO // no GATE here
icao_airline = EWG ; Eurowings
atc_id = D-AEWA // new tail
[fltsim.1]
title = "Sample A320; quoted" ; the quotes keep it
icao_airline = KLM;KLM
)");
  EXPECT_EQ(liveryTexts(liveries),
            (Texts{"EWG A320 'Sample A320 Eurowings' D-AEWA 3 cargo", "KLM A320 'Sample A320; quoted'  3 pax"}));
  EXPECT_TRUE(InvalidAirlineCodes.empty()) << InvalidAirlineCodes.lines().front();
  EXPECT_TRUE(IncompleteSections.empty()) << IncompleteSections.lines().front();
}

TEST_F(AircraftCfg, UnicodeAndAnsiFilesReadLikeUtf8Ones) {
  const std::string text =
      "[General]\r\nicao_type_designator = A320\r\n[fltsim.0]\r\ntitle = Sample A320 Livrée\r\nicao_airline = DLH\r\n";
  const std::string ansi =
      "[General]\nicao_type_designator = B738\n[fltsim.0]\ntitle = KLM Livr\xE9"
      "e\nicao_airline = KLM\n";
  EXPECT_EQ(liveryTexts(read("le", utf16Bytes(text, false))), (Texts{"DLH A320 'Sample A320 Livrée'  3 pax"}));
  lf_clearScanReports();  // the same title may be taken again
  EXPECT_EQ(liveryTexts(read("be", utf16Bytes(text, true))), (Texts{"DLH A320 'Sample A320 Livrée'  3 pax"}));
  EXPECT_EQ(liveryTexts(read("ansi", ansi)), (Texts{"KLM B738 'KLM Livrée'  3 pax"}));
  const std::string ansiFarDown = "[General]\nicao_type_designator = A320\n//" + std::string(5000, '-') +
                                  "\n[fltsim.0]\ntitle = A\xE9rospatiale ATR 72\nicao_airline = KLM\n";
  EXPECT_EQ(liveryTexts(read("far", ansiFarDown)), (Texts{"KLM A320 'Aérospatiale ATR 72'  3 pax"}));
  // A UTF-8 file with one Windows-1252 name far down: each line is read in its own encoding.
  lf_clearScanReports();
  const std::string mixed =
      "[General]\nicao_type_designator = A320\n[fltsim.0]\ntitle = Sample A320 Livrée\nicao_airline = DLH\n//" +
      std::string(5000, '-') + "\n[fltsim.1]\ntitle = Sample A320 Cr\xE8me\nicao_airline = KLM\n";
  EXPECT_EQ(liveryTexts(read("mixed", mixed)),
            (Texts{"DLH A320 'Sample A320 Livrée'  3 pax", "KLM A320 'Sample A320 Crème'  3 pax"}));
}

TEST_F(AircraftCfg, SectionNumbersDecideWhetherTheFileIsRead) {
  const std::string_view section = "\ntitle = Sample\nicao_airline = DLH\n";
  EXPECT_EQ(readType("big", "A320", std::string{"[fltsim.10001]"} + std::string{section}).size(), 0U);
  EXPECT_EQ(InvalidCfgFiles.lines(), (Texts{(folder() / "Airplanes/big/aircraft.cfg").string() +
                                            " contains a [fltsim.x] section with a number < 0 or > 10000"}));
  EXPECT_EQ(readType("huge", "A320", std::string{"[fltsim.99999999999]"} + std::string{section}).size(), 0U);
  EXPECT_NE(log().find("==> fltsim num [fltsim.99999999999] incorrect\n"), std::string::npos);
  // A damaged header still opens a section.
  EXPECT_EQ(readType("damaged", "A320", std::string{"[fltsim.12] ; spare"} + std::string{section}).size(), 1U);
  EXPECT_EQ(readType("none", "A320", "[fltsim_x]\n").size(), 0U);
  EXPECT_EQ(CfgFilesWithoutFltsim.lines(), (Texts{(folder() / "Airplanes/none/aircraft.cfg").string()}));
}

TEST_F(AircraftCfg, AnotherSectionOnlyEndsAFltsimSectionWhenItsBracketStandsEarly) {
  const auto liveries = readType("ends", "A320", R"([fltsim.0]
title = Closed By General
[General]
icao_airline = DLH
[fltsim.1]
title = Not Closed
      [x]
icao_airline = DLH
// trailing comment
)");
  EXPECT_EQ(liveryTexts(liveries), (Texts{"PVT A320 'Closed By General'  3 pax", "DLH A320 'Not Closed'  3 pax"}));
}

TEST_F(AircraftCfg, AirlineCodesAreCheckedAndReported) {
  const auto liveries = readType("airlines", "A320", R"([fltsim.0]
title = Unknown Airline
icao_airline = DLHA
[fltsim.1]
title = Second Line Counts
icao_airline = QQQ
icao_airline = KLM
[fltsim.2]
title = Virtual Airline
icao_airline = RFO
[fltsim.3]
title = Twice
icao_airline = KLM
icao_airline = DLH
[fltsim.4]
title = Generic
icao_airline = ZZZZ
atc_id = D-AIDP
)");
  EXPECT_EQ(liveryTexts(liveries), (Texts{"PVT A320 'Unknown Airline'  3 pax", "KLM A320 'Second Line Counts'  3 pax",
                                          "ZZZ A320 'Generic'  3 pax"}));
  const auto file = (folder() / "Airplanes/airlines/aircraft.cfg").string();
  EXPECT_EQ(InvalidAirlineCodes.lines(), (Texts{fmt::format("DLHA{:8} in {} [fltsim.0]", "", file),
                                                fmt::format("QQQ{:9} in {} [fltsim.1]", "", file)}));
  EXPECT_EQ(IncompleteSections.lines(),
            (Texts{file + " [fltsim.0] icao_airline is missing, or it has invalid info ",
                   sectionPrefix("airlines") + "[fltsim.3] has more than one icao_airline key"}));
}

TEST_F(AircraftCfg, SectionsWithoutAirlineTakeItFromTheirRegistrationOrBecomePrivate) {
  const auto liveries = readType("heavy", "B748", R"([fltsim.0]
title = Heavy Known Registration
atc_id = D-AIDP
[fltsim.1]
title = Heavy Unknown Registration
atc_id = D-XXXX
[fltsim.2]
title = Heavy Without Registration
)");
  EXPECT_EQ(liveryTexts(liveries), (Texts{"DLH B748 'Heavy Known Registration' D-AIDP 3 pax"}));
  const auto prefix = "'" + (folder() / "Airplanes/heavy").string() + "' ";
  const auto lines = IncompleteSections.lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), prefix + "'[fltsim.1]' has no airline and regcode not in dbase"),
            lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), prefix + "'[fltsim.2]' has no airline and no regcode info"),
            lines.end());

  const auto light = readType("light", "C172", R"([fltsim.0]
title = Cessna D-EAB of the club
[fltsim.1]
title = Cessna Unknown
atc_id = D-XXXX
)");
  EXPECT_EQ(liveryTexts(light),
            (Texts{"PVT C172 'Cessna D-EAB of the club' D-EAB 3 pax", "PVT C172 'Cessna Unknown' D-XXXX 3 pax"}));
}

TEST_F(AircraftCfg, RejectedSectionsLeaveOneReportLineEach) {
  DontUseTitles.insert("Not To Be Used");
  const auto liveries = readType("rules", "A320", R"([fltsim.0]
title = Two Titles
title = Second
icao_airline = DLH
[fltsim.1]
title = Bad Registration
icao_airline = DLH
atc_id = D-A*B
[fltsim.2]
title = Two Registrations
icao_airline = DLH
atc_id=D-AIDP
atc_id=D-AIDQ
[fltsim.3]
icao_airline = DLH
[fltsim.4]
title = Not To Be Used
icao_airline = DLH
[fltsim.5]
title = FenixA320 Lufthansa
icao_airline = DLH
[fltsim.6]
title = Parking Twice
icao_airline = DLH
atc_parking_types = GATE
atc_parking_types = CARGO
[fltsim.7]
title = Sample-STUB
icao_airline = DLH
atc_id = D-AIDP
)");
  EXPECT_EQ(liveryTexts(liveries), (Texts{"DLH A320 'Bad Registration'  3 pax", "ZZZ A320 'Sample-STUB'  3 pax"}));
  const auto prefix = sectionPrefix("rules");
  const auto missingAirline = (folder() / "Airplanes/rules/aircraft.cfg").string() +
                              " [fltsim.{}] icao_airline is missing, or it has invalid info ";
  EXPECT_EQ(IncompleteSections.lines(),
            (Texts{prefix + "[fltsim.0] has more than one title key", fmt::format(fmt::runtime(missingAirline), 0),
                   "invalid atc_id=D-A*B in: Bad Registration",
                   (folder() / "Airplanes/rules").string() + ", [fltsim.2], has more than one atc_id key",
                   prefix + "[fltsim.3] misses title", fmt::format(fmt::runtime(missingAirline), 5),
                   prefix + "[fltsim.6] has more than one atc_parking_types key"}));
}

TEST_F(AircraftCfg, ATitleGivesOneLiveryPerScanWhicheverFileHasItFirst) {
  const std::string_view sections = "[fltsim.0]\ntitle = Shared Title\nicao_airline = DLH\n";
  EXPECT_EQ(readType("first", "A320", sections).size(), 1U);
  EXPECT_EQ(readType("second", "B738", sections).size(), 0U);
  EXPECT_EQ(IncompleteSections.lines(),
            (Texts{sectionPrefix("second") + "[fltsim.0] title 'Shared Title' already exists"}));
}

TEST_F(AircraftCfg, MissingFilesAndFilesWithoutModelGiveNoLiveries) {
  EXPECT_EQ(lf_searchLiveriesinFile(1, folder() / "missing" / "aircraft.cfg").size(), 0U);
  EXPECT_EQ(read("nomodel", "[fltsim.0]\ntitle = No Model\nicao_airline = DLH\n").size(), 0U);
}

}  // namespace
}  // namespace cvl

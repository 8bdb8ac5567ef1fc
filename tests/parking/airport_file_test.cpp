#include <gtest/gtest.h>

#include <cmath>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "airport_files_fixture.h"
#include "foundation/user_error.h"
#include "parking/airport_file_reader.h"
#include "parking/airport_file_writer.h"

namespace cvl {
namespace {

using test::AirportFiles;
using test::apfXml;

std::vector<ParkPos> readStands(const std::string& stands) {
  pugi::xml_document document;
  EXPECT_TRUE(document.load_string(apfXml("", stands).c_str()));
  std::vector<ParkPos> read;
  lf_readParkPositions(document, read);
  return read;
}

int userErrorNumberOf(const std::string& stands, std::string& text) {
  try {
    readStands(stands);
  } catch (const UserErrorException& error) {
    text = error.what();
    return std::stoi(text);
  }
  return 0;
}

using AirportFileReading = AirportFiles;

TEST_F(AirportFileReading, StandsKeepTheirPlaceAndOnlyUsableOptionsGetNumbers) {
  const auto stands = readStands(
      "<parkpos id=\"Z\" latitude=\"0\" longitude=\"0\"/>"
      "<parkpos id=\" A1 \" latitude=\"0\" longitude=\"5\" heading=\"180\" radius=\"37.04\" cargo=\"true\">"
      "<opt reg=\"\" airl=\"BAW\" type=\"A320\" day=\"0\" hh=\"3\"/>"
      "<opt reg=\"\" airl=\"BAW\" type=\"A320\" day=\"8\" hh=\"3\"/>"
      "<opt reg=\"\" airl=\"BAW\" type=\"A320\" day=\"2\"/>"
      "<opt reg=\"\" airl=\"BAW\" type=\"A320\" day=\"2\" hh=\"3:5\" cs=\"ABC123:ABC124\" soft=\"true\" cpl=\"true\"/>"
      "<opt reg=\"D-AIBA\" airl=\"XXX\" type=\"B744\" day=\"7\" hh=\"10,12\" cs=\"ABC123:\"/>"
      "<opt reg=\"AIQB\" airl=\"XXX\" type=\"B744\" day=\"1\" hh=\"1\" cs=\"DLH1\"/>"
      "</parkpos>");
  ASSERT_EQ(stands.size(), 1U) << "a stand at latitude and longitude 0 is left out";
  const ParkPos& stand = stands.front();
  EXPECT_EQ(stand.id, "A1");
  EXPECT_DOUBLE_EQ(stand.longitude, 5.0);
  EXPECT_NEAR(stand.heading, M_PI, 1e-12);
  EXPECT_NEAR(stand.radius, 0.02, 1e-9);
  EXPECT_TRUE(stand.cargo);
  EXPECT_FALSE(stand.ramp || stand.heli || stand.manual);
  EXPECT_EQ(stand.sid, 0U);
  ASSERT_EQ(stand.options.size(), 3U);

  const StandOption& soft = stand.options[0];
  EXPECT_EQ(soft.id, 1U) << "dropped options use up no number";
  EXPECT_EQ(soft.hh.to_ulong(), 0b111000UL);
  EXPECT_EQ(soft.real, 0U);
  EXPECT_TRUE(soft.cpl);
  EXPECT_EQ(soft.origin, 1U);
  EXPECT_EQ(soft.callsign, "ABC123");
  EXPECT_EQ(soft.callsign2, "ABC124");
  EXPECT_EQ(soft.airline, "BAW");

  const StandOption& known = stand.options[1];
  EXPECT_EQ(known.id, 2U);
  EXPECT_EQ(known.airline, "CLH") << "the registration's operator comes before its airline";
  EXPECT_EQ(known.type, "A319");
  EXPECT_EQ(known.callsign, "ABC123");
  EXPECT_EQ(known.callsign2, "");
  EXPECT_EQ(known.real, 1U);

  const StandOption& dashless = stand.options[2];
  EXPECT_EQ(dashless.airline, "XXX") << "AIQB is too short for the dashed spellings";
}

TEST_F(AirportFileReading, AStandIdMustBeThereAndUnique) {
  std::string text;
  EXPECT_EQ(userErrorNumberOf("<parkpos latitude=\"1\" longitude=\"1\"/>", text), 93);
  EXPECT_EQ(text, "93: Parking position #1 has no 'id' attribute.");
  EXPECT_EQ(userErrorNumberOf("<parkpos id=\"A\" latitude=\"1\" longitude=\"1\"/><parkpos id=\" \t\"/>", text), 93);
  EXPECT_EQ(text, "93: Parking position #2 has empty 'id' attribute.");
  EXPECT_EQ(userErrorNumberOf("<parkpos id=\"A1\" latitude=\"1\" longitude=\"1\"/><parkpos id=\" A1 \"/>", text), 94);
  EXPECT_EQ(text, "94: Parking position 'A1' appears more than once.");
}

TEST_F(AirportFileReading, AStandWithAnUnusableNumberIsLoggedAndSkipped) {
  const auto stands = readStands(
      "<parkpos id=\"A\" latitude=\"50.1x\" longitude=\"8\"/><parkpos id=\"B\" latitude=\"91\" longitude=\"8\"/>"
      "<parkpos id=\"C\" latitude=\"50\" longitude=\"8\" radius=\"-3\"/>"
      "<parkpos id=\"D\" latitude=\"50\" longitude=\"8\" heading=\"nan\"/>"
      "<parkpos id=\"E\" latitude=\" 50.5 \" longitude=\"8\"/>"
      "<parkpos id=\"F&#10;==> Error: forged\" latitude=\"\" longitude=\"8\"/>");
  ASSERT_EQ(stands.size(), 1U);
  EXPECT_EQ(stands.front().id, "E");
  EXPECT_NE(logText().find("==> Parking position 'A' has no usable position, heading or radius, skipped"),
            std::string::npos);
  EXPECT_NE(logText().find("==> Parking position 'F\\n==> Error: forged' has no usable position"), std::string::npos)
      << "a stand id cannot start a log line of its own";
}

class AirportFileWriting : public AirportFiles {
 protected:
  static ParkPos stand(const std::string& id, double radiusMetres) {
    return ParkPos(id, {}, StandPlace{50.1, 8.6, M_PI}, radiusMetres, false, true, false);
  }
  static StandOption option(std::uint32_t id, const std::string& reg, HalfHourSet hours) {
    return test::wednesdayOption(id, hours, reg);
  }
  static pugi::xml_document written(const ApfData& apf, ApfMode mode) {
    EXPECT_TRUE(gf_writeApf(apf, "out/EDDF.xml", mode, SimType::msfs2024));
    pugi::xml_document document;
    EXPECT_TRUE(document.load_file("out/EDDF.xml"));
    return document;
  }
};

TEST_F(AirportFileWriting, AFullFileCarriesEveryAttributeAndNoOptions) {
  ApfData apf;
  apf.code = "EDDF";
  apf.altitude = 364;
  apf.BGLpath = "x.bgl";
  apf.positions.push_back(stand("A1", 37.04));
  apf.positions.back().options.push_back(option(1, "", HalfHourSet{1}));
  ParkPos helipad("H1", {}, StandPlace{50.2, 8.7, 0.0}, 10.0, true, false, true);
  apf.positions.push_back(helipad);
  const auto document = written(apf, ApfMode::full);

  EXPECT_STREQ(document.select_node("//info[@name='MSFS']").node().attribute("value").value(), "2024");
  EXPECT_STREQ(document.select_node("//parameter[@name='num_parkpos']").node().attribute("value").value(), "2");
  EXPECT_STREQ(document.select_node("//parameter[@name='altitude']").node().attribute("value").value(), "364");
  EXPECT_TRUE(document.select_node("//parameter[@name='BGLpath']")) << "a file without publisher names its source";
  EXPECT_FALSE(document.select_node("//parameter[@name='handmade']"));
  EXPECT_FALSE(document.select_node("//parameter[@name='RANGE']"));
  const auto first = document.select_node("//parkpos[@id='A1']").node();
  EXPECT_STREQ(first.attribute("latitude").value(), "50.100000");
  EXPECT_STREQ(first.attribute("heading").value(), "180.0");
  EXPECT_STREQ(first.attribute("radius").value(), "37.0");
  EXPECT_STREQ(first.attribute("cargo").value(), "false");
  EXPECT_STREQ(first.attribute("ramp").value(), "true");
  EXPECT_FALSE(first.child("opt"));
  const auto heli = document.select_node("//parkpos[@id='H1']").node();
  EXPECT_STREQ(heli.attribute("heli").value(), "true");
  EXPECT_FALSE(heli.attribute("cargo")) << "a helipad says heli instead of cargo";
}

TEST_F(AirportFileWriting, ALearnedFileCarriesCorrectionsOptionsAndSettings) {
  MAX_FIT_FL.value = 3.5F;
  ApfData apf;
  apf.code = "EDDF";
  apf.publisher = "stock";
  apf.positions.push_back(stand("PLAIN", 30.0));
  apf.positions.push_back(stand("WIDER", 40.0));
  apf.positions.back().radius_change = true;
  ParkPos& options = apf.positions.emplace_back(stand("OPTS", 30.0));
  options.options = {option(1, "D-AIBA", HalfHourSet{0b11111000}), option(0, "", HalfHourSet{1}),
                     option(2, "G-ABCD", HalfHourSet{1U << 12}), option(3, "", HalfHourSet{0b10011000}),
                     option(4, "G-EMPT", HalfHourSet{})};
  options.options[2].real = 0;
  options.options[2].callsign = "BAW12";
  options.options[2].callsign2 = "BAW13";
  options.options[2].cpl = true;
  const auto document = written(apf, ApfMode::learned);

  EXPECT_STREQ(document.select_node("//parameter[@name='MAX_FIT']").node().attribute("value").value(), "6");
  EXPECT_FALSE(document.select_node("//parameter[@name='altitude']")) << "only a handmade learned file needs it";
  EXPECT_FALSE(document.select_node("//parkpos[@id='PLAIN']").node().attribute("latitude"));
  const auto wider = document.select_node("//parkpos[@id='WIDER']").node();
  EXPECT_STREQ(wider.attribute("radius_change").value(), "true");
  EXPECT_STREQ(wider.attribute("radius").value(), "40.0");
  EXPECT_FALSE(wider.attribute("latitude"));

  std::vector<pugi::xml_node> written;
  for (const auto opt : document.select_node("//parkpos[@id='OPTS']").node().children("opt")) {
    written.push_back(opt);
  }
  ASSERT_EQ(written.size(), 4U) << "the empty option is not written";
  EXPECT_STREQ(written[0].attribute("hh").value(), "3:7");
  EXPECT_FALSE(written[0].attribute("airl")) << "a known registration gives airline and type";
  EXPECT_STREQ(written[1].attribute("hh").value(), "0") << "an option set aside by the stand search";
  EXPECT_STREQ(written[2].attribute("hh").value(), "12");
  EXPECT_STREQ(written[2].attribute("airl").value(), "BAW");
  EXPECT_STREQ(written[2].attribute("soft").value(), "true");
  EXPECT_STREQ(written[2].attribute("cs").value(), "BAW12:BAW13");
  EXPECT_STREQ(written[2].attribute("cpl").value(), "true");
  EXPECT_STREQ(written[3].attribute("hh").value(), "3,4,7") << "half hours with gaps are kept as a list";
  EXPECT_NE(logText().find("==> bit set problem: G-EMPT  BAW A320"), std::string::npos);
}

TEST_F(AirportFileWriting, AFileThatCannotBeWrittenIsReported) {
  test::writeFile("blocked", "not a folder");
  EXPECT_FALSE(gf_writeApf(ApfData{}, "blocked/EDDF.xml", ApfMode::full, SimType::msfs2020));
}

}  // namespace
}  // namespace cvl

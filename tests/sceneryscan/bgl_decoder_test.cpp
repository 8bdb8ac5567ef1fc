#include "sceneryscan/bgl_decoder.h"

#include <cmath>
#include <filesystem>
#include <numbers>
#include <sstream>
#include <stdexcept>

#include "bglgen/bgl_writer.h"
#include "generated_file.h"
#include "scan_fixture.h"
#include "sceneryscan/bgl_identifiers.h"
#include "sceneryscan/bgl_words.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;
using bglgen::Airport;
using bglgen::Helipad;
using bglgen::Parking;

const fs::path bglPath{"scenery/x.bgl"};

class BglDecoderTest : public SceneryScanTest {
 protected:
  static Parking parking(std::uint32_t kind, std::uint32_t number, double offset = 0.0) {
    Parking made;
    made.nameKind = kind;
    made.number = number;
    made.latitude = 51.47 + offset;
    made.longitude = -0.46 + offset;
    return made;
  }
  static Airport egll(std::vector<Parking> parkings, std::vector<Helipad> helipads = {}) {
    Airport made;
    made.ident = "EGLL";
    made.elevationMillimetres = 25000;
    made.parkings = std::move(parkings);
    made.helipads = std::move(helipads);
    return made;
  }

  // Decodes the file's bytes as the scan task does and reads the airport file it generated.
  std::optional<GeneratedFile> decode(const std::string& bytes, const std::string& code = "EGLL") {
    put(bglPath, bytes);
    lf_processBGLfile(bglPath);
    return readGenerated(fs::path{"airports/my_thirdparty"} / (code + ".xml"));
  }
  std::optional<GeneratedFile> decode(const std::vector<Airport>& airports, const std::string& code = "EGLL") {
    return decode(bglgen::airportsFile(airports), code);
  }
};

TEST_F(BglDecoderTest, AnAirportBecomesAGeneratedFileWithItsStandsSortedById) {
  auto gate = parking(10, 12);
  gate.type = 10;
  gate.radius = 24.0F;
  gate.heading = 90.0F;
  auto cargo = parking(2, 0, 0.001);
  cargo.type = 5;
  auto ramp = parking(0, 7, 0.002);
  ramp.type = 3;
  auto lettered = parking(12, 3, 0.003);
  lettered.type = 9;
  const auto file = decode({egll({gate, cargo, ramp, lettered}, {{51.48, -0.45, 30.0F}})});

  ASSERT_TRUE(file);
  EXPECT_EQ(file->ids(), (std::vector<std::string>{"7", "A3", "g12", "helipad1", "p0"}));
  EXPECT_EQ(file->stands[2], (std::map<std::string, std::string>{{"id", "g12"},
                                                                 {"latitude", "51.470000"},
                                                                 {"longitude", "-0.460000"},
                                                                 {"heading", "90.0"},
                                                                 {"radius", "24.0"},
                                                                 {"cargo", "false"},
                                                                 {"ramp", "false"}}));
  EXPECT_EQ(file->stands[3].at("heli"), "true");
  EXPECT_EQ(file->stands[3].at("radius"), "15.0");
  EXPECT_EQ(file->stands[4].at("cargo"), "true");
  EXPECT_EQ(file->stands[4].at("ramp"), "true");
  EXPECT_EQ(file->stands[0].at("ramp"), "true");
  EXPECT_EQ(file->parameters.at("altitude"), "82");
  EXPECT_EQ(file->parameters.at("num_parkpos"), "5");
  EXPECT_EQ(file->parameters.at("publisher"), "");
  EXPECT_EQ(file->parameters.at("BGLpath"), bglPath.string());
  EXPECT_TRUE(scanLogHas("Generated EGLL.xml: 5 positions, of which 1 helipad"));
}

TEST_F(BglDecoderTest, AFileWithABadHeaderYieldsNothing) {
  auto bytes = bglgen::airportsFile({egll({parking(10, 1)})});
  auto wrongHeader = bytes;
  wrongHeader[4] = 0x39;
  EXPECT_FALSE(decode(wrongHeader));
  EXPECT_FALSE(decode(bytes.substr(0, 59)));
  auto noSections = bytes;
  noSections[20] = 0;
  EXPECT_FALSE(decode(noSections));
  EXPECT_TRUE(decode(bytes));
}

TEST_F(BglDecoderTest, OnlyAirportSectionsWithShortSubsectionHeadersAreRead) {
  const auto records = bglgen::airportRecord(egll({parking(10, 1)}));
  EXPECT_FALSE(decode(bglgen::bglFile({{4, bglgen::shortSubsectionFlags, records}})));
  EXPECT_FALSE(decode(bglgen::bglFile({{3, 0x50000, records}})));
  EXPECT_TRUE(decode(bglgen::bglFile({{4, 0, bglgen::record(0x56, "")}, {3, 0, records}})));
}

TEST_F(BglDecoderTest, TheQuickTestLooksForAnAirportSectionInTheHeader) {
  const auto write = [](const std::string& bytes) {
    put(bglPath, bytes);
    return lf_hasAirportSection(bglPath);
  };
  const auto other = bglgen::bglFile({{4, 0, bglgen::record(0x20, "")}, {3, 0, ""}});
  EXPECT_TRUE(write(other));
  EXPECT_FALSE(write(bglgen::bglFile({{4, 0, bglgen::record(0x20, "")}})));
  EXPECT_FALSE(write(other.substr(0, 56)));
  auto tooMany = other;
  tooMany[20] = 100;  // more section headers than the file could hold
  EXPECT_FALSE(write(tooMany));
  EXPECT_FALSE(lf_hasAirportSection("scenery/missing.bgl"));
}

TEST_F(BglDecoderTest, PackedIdentifiersDecodeInBase38) {
  EXPECT_EQ(lf_decodeIcao(bglgen::packIcao("EGLL")).text, "EGLL");
  EXPECT_TRUE(lf_decodeIcao(bglgen::packIcao("K2W0")).valid);
  EXPECT_EQ(lf_decodeIcao(31).text, " ");
  EXPECT_FALSE(lf_decodeIcao(31).valid);
  const auto withBlank = lf_decodeIcao(bglgen::packIcao("EG L"));
  EXPECT_EQ(withBlank.text, "EG L");
  EXPECT_FALSE(withBlank.valid);
  const auto withUnknown = lf_decodeIcao(((12U * 38 + 1) * 38 + 12) << 5);
  EXPECT_EQ(withUnknown.text, "A?A");
  EXPECT_FALSE(withUnknown.valid);
  EXPECT_TRUE(lf_decodeIcao(bglgen::packIcao("EGLLX")).valid);
}

TEST_F(BglDecoderTest, OnlyFourCharacterCodesOfTheDatabaseAreAirports) {
  EXPECT_EQ(lf_isRealTrafficAirport("EGLLX").refusal, IcaoRefusal::notFourCharacters);
  const auto shortCode = lf_isRealTrafficAirport("egl");
  EXPECT_EQ(shortCode.code, "EGL");
  EXPECT_EQ(shortCode.refusal, IcaoRefusal::notFourCharacters);
  EXPECT_EQ(lf_isRealTrafficAirport("ZZZZ").refusal, IcaoRefusal::notInDatabase);
  EXPECT_TRUE(scanLogHas("ZZZZ is not an airport supported by RealTraffic "));
  const auto known = lf_isRealTrafficAirport("egll");
  EXPECT_TRUE(known.accepted());
  EXPECT_EQ(known.code, "EGLL");
}

TEST_F(BglDecoderTest, RadiiOutsideOneToTwoHundredMetresAreSkipped) {
  std::vector<Parking> parkings;
  for (const float radius : {1.0F, 1.5F, 199.9F, 200.0F, std::nanf("")}) {
    parkings.push_back(parking(10, static_cast<std::uint32_t>(parkings.size()), 0.001 * parkings.size()));
    parkings.back().radius = radius;
  }
  const auto file = decode({egll(parkings)});

  ASSERT_TRUE(file);
  EXPECT_EQ(file->ids(), (std::vector<std::string>{"g1", "g2"}));
  EXPECT_TRUE(scanLogHas("Skipped position with radius 1.0 m in scenery/x.bgl"));
  EXPECT_TRUE(scanLogHas("Skipped position with radius 200.0 m in scenery/x.bgl"));
  EXPECT_TRUE(scanLogHas("Skipped position with radius NAN m in scenery/x.bgl"));
}

TEST_F(BglDecoderTest, NorthIsAFullTurnAndOtherHeadingsAreConverted) {
  std::vector<Parking> parkings;
  for (const float heading : {0.0F, 360.0F, 180.0F, std::numeric_limits<float>::infinity()}) {
    parkings.push_back(parking(10, static_cast<std::uint32_t>(parkings.size()), 0.001 * parkings.size()));
    parkings.back().heading = heading;
  }
  const auto file = decode({egll(parkings)});

  ASSERT_TRUE(file);
  ASSERT_EQ(file->stands.size(), 3U);
  EXPECT_EQ(file->stands[0].at("heading"), "360.0");
  EXPECT_EQ(file->stands[1].at("heading"), "360.0");
  EXPECT_EQ(file->stands[2].at("heading"), "180.0");
  EXPECT_TRUE(scanLogHas("Skipped position with heading INF in scenery/x.bgl"));
}

TEST_F(BglDecoderTest, DuplicateNamesGetLettersUpToJ) {
  std::vector<Parking> parkings;
  for (int index = 0; index < 12; ++index) {
    parkings.push_back(parking(10, 1, 0.0001 * index));
  }
  const auto file = decode({egll(parkings)});

  ASSERT_TRUE(file);
  EXPECT_EQ(file->ids(),
            (std::vector<std::string>{"g1", "g1a", "g1b", "g1c", "g1d", "g1e", "g1f", "g1g", "g1h", "g1i", "g1j"}));
  EXPECT_TRUE(scanLogHas("===> Warning: more than 10 duplicate IDs g1 in scenery/x.bgl"));
}

TEST_F(BglDecoderTest, NonStandsAndBadPositionsAreDropped) {
  std::vector<Parking> parkings;
  for (const std::uint32_t type : {0U, 12U, 13U, 8U}) {
    parkings.push_back(parking(10, type, 0.001 * parkings.size()));
    parkings.back().type = type;
  }
  parkings.push_back(parking(10, 99));
  parkings.back().latitude = 0.0;
  parkings.back().longitude = 0.0;
  const auto file = decode({egll(parkings)});

  ASSERT_TRUE(file);
  EXPECT_EQ(file->ids(), std::vector<std::string>{"g8"});
  EXPECT_TRUE(scanLogHas("LatLon 0.000000,0.000000 invalid (skipped)"));
}

TEST_F(BglDecoderTest, HelipadsAreNumberedPerAirportAndTakenOncePerPosition) {
  auto heathrow = egll({}, {{51.48, -0.45, 20.0F}, {51.48, -0.45, 20.0F}, {51.49, -0.44, 20.0F}});
  Airport vienna;
  vienna.ident = "LOWW";
  vienna.helipads = {{48.11, 16.57, 10.0F}, {0.0, 0.0, 10.0F}};
  decode({heathrow, vienna});

  const auto london = readGenerated("airports/my_thirdparty/EGLL.xml");
  const auto austria = readGenerated("airports/my_thirdparty/LOWW.xml");
  ASSERT_TRUE(london && austria);
  EXPECT_EQ(london->ids(), (std::vector<std::string>{"helipad1", "helipad2"}));
  EXPECT_EQ(austria->ids(), std::vector<std::string>{"helipad1"});
  EXPECT_TRUE(scanLogHas("double helipad  (skipped) 51.480000,-0.450000"));
  EXPECT_TRUE(scanLogHas("lat/lon helipad incorrect (skipped): 0.000000,0.000000"));
}

TEST_F(BglDecoderTest, OnlyTheFirstParkingListOfAnAirportIsRead) {
  auto airport = egll({parking(10, 1)});
  airport.extraSubrecords = bglgen::parkingListRecord({parking(10, 2, 0.01)});
  const auto file = decode({airport});
  ASSERT_TRUE(file);
  EXPECT_EQ(file->ids(), std::vector<std::string>{"g1"});
}

TEST_F(BglDecoderTest, RealAirportAltitudesAreKeptAndThoseBeyondMinus1500To16000FeetBecomeZero) {
  const auto altitudeOf = [this](std::int32_t millimetres) {
    auto airport = egll({parking(10, 1)});
    airport.elevationMillimetres = millimetres;
    return decode({airport})->parameters.at("altitude");
  };
  EXPECT_EQ(altitudeOf(3657600), "12000");
  EXPECT_EQ(altitudeOf(-365760), "-1200");
  EXPECT_EQ(altitudeOf(-457200), "-1500");
  EXPECT_EQ(altitudeOf(-457505), "0");
  EXPECT_EQ(altitudeOf(4876800), "16000");
  EXPECT_EQ(altitudeOf(4877105), "0");
}

TEST_F(BglDecoderTest, InMsfs2024AnUnreadableRecordEndsTheFileAndTheStemNamesTheAirport) {
  msfs2020Mode = false;
  const auto records = bglgen::record(0x113, "") + bglgen::airportRecord(egll({parking(10, 1)}));
  put("Community/northwind-sceneries-loww/LOWW.bgl", bglgen::bglFile({{3, 0, records}}));

  lf_processBGLfile("Community/northwind-sceneries-loww/LOWW.bgl");

  EXPECT_FALSE(fs::exists("airports/my_thirdparty/EGLL.xml"));
  EXPECT_TRUE(scanLogHas("\n==> Not recognised airport Community/northwind-sceneries-loww/LOWW.bgl"));
  EXPECT_TRUE(scanLogHas("Non complyingairport has ICAO code 'LOWW' as BGL stem"));
  EXPECT_EQ(readFile("airports/my_thirdparty/LOWW.txt"), "archive/thirdparty/Northwind%20Sceneries/LOWW.xml\n");

  msfs2020Mode = true;
  lf_processBGLfile("Community/northwind-sceneries-loww/LOWW.bgl");
  EXPECT_TRUE(fs::exists("airports/my_thirdparty/EGLL.xml"));
}

TEST_F(BglDecoderTest, RecordsOfZeroSizeEndTheirWalkWithAWarning) {
  const auto broken = bglgen::recordWithSize(0x56, 2, std::string(66, '\0'));
  EXPECT_FALSE(decode(bglgen::bglFile({{3, 0, broken}})));
  EXPECT_TRUE(logHas("==>    Warning: decodeSizeAtBoundary returned 0 at o2 = 23\n"));

  auto airport = egll({parking(10, 1)});
  airport.helipads.clear();
  airport.parkings.clear();
  airport.extraSubrecords = bglgen::recordWithSize(0x99, 3, "xx") + bglgen::parkingListRecord({parking(10, 1)});
  EXPECT_FALSE(decode({airport}));
  EXPECT_TRUE(logHas("   Warning: decodeSizeAtBoundary returned 0 at o3 = 40\n"));
}

TEST_F(BglDecoderTest, EndlessRecordChainsStopAfter5000Records) {
  std::string records;
  for (int index = 0; index < 5001; ++index) {
    records += bglgen::record(0x20, "xx");
  }
  records += bglgen::airportRecord(egll({parking(10, 1)}));
  EXPECT_FALSE(decode(bglgen::bglFile({{3, 0, records}})));
  EXPECT_TRUE(
      logHas("==>    Error: Maximum loop iterations reached \u2014 possible corrupt BGL or malformed input.\n"));
}

TEST_F(BglDecoderTest, AParkingListLongerThanItsRecordIsCutOff) {
  auto list = bglgen::parkingListRecord({parking(10, 1), parking(10, 2, 0.01)});
  list[6] = 5;  // five entries claimed, two held
  auto airport = egll({});
  airport.extraSubrecords = list;
  const auto file = decode({airport});
  ASSERT_TRUE(file);
  EXPECT_EQ(file->ids(), (std::vector<std::string>{"g1", "g2"}));
  EXPECT_TRUE(scanLogHas("Parking list cut off after 2 of 5 entries in scenery/x.bgl"));
}

TEST_F(BglDecoderTest, NoCutOrDamagedFileIsReadOutsideItsBytes) {
  auto heathrow = egll({parking(10, 1), parking(5, 2, 0.01)}, {{51.48, -0.45, 20.0F}});
  heathrow.parkings[1].airlineCodes = 2;
  const auto bytes = bglgen::airportsFile({heathrow});
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    decode(bytes.substr(0, length));
  }
  for (std::size_t index = 0; index < bytes.size(); ++index) {
    for (const unsigned char value : {0x00U, 0x7FU, 0xFFU}) {
      auto damaged = bytes;
      damaged[index] = static_cast<char>(value);
      decode(damaged);
    }
  }
  SUCCEED();  // the sanitizers watch every read
}

TEST_F(BglDecoderTest, TheWordsOfAFileEndInAZeroPaddedWord) {
  std::istringstream stream{std::string{"\x01\x02\x03\x04\x05\x06", 6}};
  EXPECT_EQ(lf_readBglWords(stream), (std::vector<std::uint32_t>{0x04030201U, 0x0605U}));
  std::istringstream empty;
  EXPECT_TRUE(lf_readBglWords(empty).empty());
}

TEST_F(BglDecoderTest, AnExceptionOfTheTaskIsLoggedAndPassedOn) {
  put("airports", "a file where the airport folders belong");
  put(bglPath, bglgen::airportsFile({egll({parking(10, 1)})}));

  EXPECT_THROW(lf_processBGLfile(bglPath), std::filesystem::filesystem_error);
  EXPECT_TRUE(logHas("==> Exception in lf_processBGLfile (std::ex): scenery/x.bgl \u2014 "));
}

}  // namespace
}  // namespace cvl::test

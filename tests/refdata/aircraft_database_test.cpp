#include "refdata/aircraft_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "dbase_text.h"
#include "foundation/user_error.h"
#include "refdata/dbase_queries.h"

namespace cvl {
namespace {

using test::dbaseXml;
using test::ProgramFolder;
using test::readDbaseText;
using ::testing::HasSubstr;

constexpr double metresToHalfNm = 0.5 / 1852.0;

TEST(AircraftDatabase, ReadsEverySectionOfTheSample) {
  const ProgramFolder folder;
  gf_writeSealedDataFile(dbaseEncPath, test::readFile(test::sampleDataFolder() / "dbase.xml"));
  ASSERT_TRUE(gf_readDbase());
  EXPECT_FALSE(std::filesystem::exists(dbaseXmlPath));

  EXPECT_TRUE(gf_isKnownType("A320"));
  EXPECT_FALSE(gf_isKnownType("a320"));
  EXPECT_EQ(gf_aircraftCategory("A320"), AcCategory::Large);
  EXPECT_EQ(gf_aircraftCategory("B744"), AcCategory::Heavy);
  EXPECT_EQ(gf_aircraftCategory("C25A"), AcCategory::Buzjets);
  EXPECT_EQ(gf_aircraftCategory("EC35"), AcCategory::Rotorcraft);
  EXPECT_EQ(gf_aircraftCategory("F16"), AcCategory::HighPerf);
  EXPECT_EQ(gf_aircraftCategory("C172"), AcCategory::Light);
  EXPECT_TRUE(gf_isIcaoAirline("KLM"));
  EXPECT_TRUE(CargoOperators.contains("FDX"));
  EXPECT_TRUE(SimAddonAirports.contains("EHAM"));

  EXPECT_EQ(TypeFixes.at("Q400"), "DH8D");
  EXPECT_DOUBLE_EQ(gf_halfWingspan("A320"), 35.8 * metresToHalfNm);
  EXPECT_DOUBLE_EQ(maxHalfWingspan, gf_halfWingspan("A225"));  // the widest of the sample
  ASSERT_FALSE(SimilarGroups.empty());
  EXPECT_TRUE(std::is_sorted(SimilarGroups.front().begin(), SimilarGroups.front().end()));
  EXPECT_EQ(lf_publisherCount(), 8U);
  EXPECT_EQ(ThirdParties20.size(), 6U);
  EXPECT_EQ(ThirdParties24.at(2).arpts.front(), "KJFK");

  const auto& klm = RegistrationTable.at("PH-BXA");
  EXPECT_EQ(klm.airl, "KLM");
  EXPECT_EQ(klm.type, "B738");
  EXPECT_EQ(klm.opr, "");  // flown by its own airline
  EXPECT_FALSE(klm.cargo);
  EXPECT_TRUE(RegistrationTable.at("D-ALFG").cargo);
  EXPECT_THAT(folder.log(), HasSubstr(fmt::format("{} dbase records read\n", RegistrationTable.size())));
}

TEST(AircraftDatabase, SectionsAreFoundWithAndWithoutRoot) {
  const ProgramFolder folder;
  const auto sections = R"(<dbase><db reg="PH-BXA" airl="KLM" type="B738"/></dbase>)";
  ASSERT_TRUE(readDbaseText(dbaseXml(sections, false)));
  EXPECT_EQ(RegistrationTable.size(), 1U);
  EXPECT_EQ(KnownTypes.size(), 10U);
  ASSERT_TRUE(readDbaseText(dbaseXml(sections, true)));
  EXPECT_EQ(RegistrationTable.size(), 1U);
  EXPECT_EQ(KnownTypes.size(), 10U);
}

TEST(AircraftDatabase, CategoryOrderDecidesForTypesInTwoSets) {
  const ProgramFolder folder;
  ASSERT_TRUE(readDbaseText(R"(<root>
    <aircrafts><aircraft types="A320,C25A"/></aircrafts>
    <high_performance><hpf types="C25A"/></high_performance>
    <heavy><hvy types="A320"/></heavy>
    <large><lar types="A320"/></large>
    <buzjet><bzj types="C25A"/></buzjet>
    <rotorcraft><rot types="EC35"/></rotorcraft>
    <cargo_types><cargo_type types="A320"/></cargo_types>
    <ICAO_airlines><ICAO codes="KLM"/></ICAO_airlines>
    <cargo_operators><ICAO codes="FDX"/></cargo_operators>
    <simaddons20><simaddon20 arpts="EHAM"/></simaddons20></root>)"));
  EXPECT_EQ(gf_aircraftCategory("A320"), AcCategory::Large);
  EXPECT_EQ(gf_aircraftCategory("C25A"), AcCategory::Buzjets);
}

TEST(AircraftDatabase, AListSectionWithoutValuesIsError61AndLeavesNoPlainFile) {
  const ProgramFolder folder;
  auto xml = dbaseXml("");
  xml.replace(xml.find(R"(<hvy types="B744"/>)"), 19, R"(<hvy types=""/>)");
  try {
    readDbaseText(xml);
    FAIL() << "no error 61";
  } catch (const UserErrorException& error) {
    EXPECT_STREQ(error.what(), "61: In XML file section [heavy], element [hvy], attribute [types] is empty.");
  }
  EXPECT_FALSE(std::filesystem::exists(dbaseXmlPath));

  // Commas alone give no value either.
  xml = dbaseXml("");
  xml.replace(xml.find(R"(<ICAO codes="FDX"/>)"), 19, R"(<ICAO codes=" , ,"/>)");
  EXPECT_THROW(readDbaseText(xml), UserErrorException);
}

TEST(AircraftDatabase, EmptyPiecesOfListsAreDropped) {
  const ProgramFolder folder;
  auto xml = dbaseXml(R"(<similar_types><similar types="A321,,A320,"/></similar_types>
    <publishers><pub names="Acme,,ACME Scenery"/><pub names=" , "/></publishers>
    <thirdparties20><thirdpartie20 pub="Acme" arpts="EHAM,,EGLL2,"/></thirdparties20>)");
  xml.replace(xml.find(R"(types="A320,A20N)"), 17, R"(types="A320,,A20N)");
  ASSERT_TRUE(readDbaseText(xml));
  EXPECT_FALSE(KnownTypes.contains(""));
  EXPECT_EQ(SimilarGroups.at(0), (std::vector<std::string>{"A320", "A321"}));
  ASSERT_EQ(Publishers.size(), 1U);
  EXPECT_EQ(Publishers.at(0), (std::vector<std::string>{"Acme", "ACME Scenery"}));
  EXPECT_EQ(ThirdParties20.at(0).arpts, (std::vector<std::string>{"EHAM", "EGLL2"}));
  // Without an empty name no text names a publisher by accident.
  EXPECT_EQ(gf_findPublisher("Community/other-scenery"), std::nullopt);
  EXPECT_EQ(gf_findPublisher("community/acme scenery-eham"), "Acme");
}

TEST(AircraftDatabase, WingspansKeepTheFirstValueAndFillEveryCategoryAverage) {
  const ProgramFolder folder;
  ASSERT_TRUE(readDbaseText(dbaseXml(R"(<wingspans>
    <wingspan type="A320" meters="35.8"/>
    <wingspan type="A321" meters="36.0"/>
    <wingspan type="A320" meters="40.0"/>
    <wingspan type="C172" meters="11.0"/>
    <wingspan type="XXXX" meters="20.0"/>
    <wingspan type="A319" meters="nan"/>
    <wingspan type="A20N"/>
    </wingspans>)")));
  EXPECT_DOUBLE_EQ(gf_halfWingspan("A320"), 35.8 * metresToHalfNm);
  EXPECT_DOUBLE_EQ(maxHalfWingspan, 40.0 * metresToHalfNm);
  // Large averages A320 once and A321; A319 and A20N without a usable span take that average.
  const double largeAverage = (35.8 + 36.0) / 2 * metresToHalfNm;
  EXPECT_DOUBLE_EQ(gf_halfWingspan("A319"), largeAverage);
  EXPECT_DOUBLE_EQ(gf_halfWingspan("A20N"), largeAverage);
  EXPECT_DOUBLE_EQ(gf_halfWingspan("C152"), 11.0 * metresToHalfNm);
  EXPECT_DOUBLE_EQ(gf_halfWingspan("ZZZZ"), 11.0 * metresToHalfNm);  // unknown types are Light
  // Categories without any wingspan take the mean of all, never a division by zero.
  EXPECT_DOUBLE_EQ(gf_halfWingspan("B744"), (35.8 + 36.0 + 11.0) / 3 * metresToHalfNm);
  const auto log = folder.log();
  EXPECT_THAT(log, HasSubstr("==> wingspan model XXXX is not valid, skipped\n"));
  EXPECT_THAT(log, HasSubstr("==> wingspan 'nan' of model A319 is not valid, skipped\n"));
  EXPECT_THAT(log, HasSubstr("==> wingspan '' of model A20N is not valid, skipped\n"));
}

TEST(AircraftDatabase, WithoutWingspansEveryAverageIsZero) {
  const ProgramFolder folder;
  ASSERT_TRUE(readDbaseText(dbaseXml("")));
  EXPECT_EQ(gf_halfWingspan("B744"), 0.0);
  EXPECT_EQ(maxHalfWingspan, 0.0);
}

TEST(AircraftDatabase, BadFixesAndRegistrationsAreLoggedAndSkipped) {
  const ProgramFolder folder;
  ASSERT_TRUE(readDbaseText(dbaseXml(R"(
    <fixes><fx wro="A20NX" cor="A20N"/><fx wro="A20NX" cor="A321"/><fx wro="B7X7" cor="B7X7"/><fx cor="A320"/></fixes>
    <dbase>
      <db reg="PH-BXA" airl="KLM" type="B738" opr="KLM" cargo="false"/>
      <db reg="PH-BXA" airl="TRA" type="B738"/>
      <db reg="PH-BXA" airl="TRA" type="B738"/>
      <db airl="DLH" type="A320"/>
      <db reg="N12" airl="FDX" cargo="yes"/>
    </dbase>)")));
  EXPECT_EQ(TypeFixes.size(), 1U);
  EXPECT_EQ(TypeFixes.at("A20NX"), "A20N");
  EXPECT_EQ(RegistrationTable.size(), 2U);
  EXPECT_EQ(RegistrationTable.at("PH-BXA").airl, "KLM");
  EXPECT_TRUE(RegistrationTable.at("N12").cargo);
  EXPECT_FALSE(RegistrationTable.contains(""));
  const auto log = folder.log();
  EXPECT_THAT(log, HasSubstr("==> wrong part of fix: 'A20NX', already exists, skipped\n"));
  EXPECT_THAT(log, HasSubstr("==> wrong fix B7X7 -> B7X7, the latter is not valid\n"));
  EXPECT_THAT(log, HasSubstr("==> wrong fix  -> A320, the former is empty\n"));
  EXPECT_THAT(log, HasSubstr("==> regcode PH-BXA already exists\n==> regcode PH-BXA already exists\n"));
  EXPECT_THAT(log, HasSubstr("==> dbase record without regcode (DLH A320), skipped\n"));
}

TEST(AircraftDatabase, AMissingOrBrokenFileIsReported) {
  const ProgramFolder folder;
  try {
    gf_readDbase();
    FAIL() << "read without a file";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "input/dbase.enc not available");
  }

  test::writeFile(dbaseEncPath, gf_sealDataBytes(dbaseXml("")).substr(0, 30));
  try {
    gf_readDbase();
    FAIL() << "read a cut file";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "input/dbase.enc is damaged and will be downloaded again at the next start");
  }

  EXPECT_FALSE(readDbaseText("<root><aircrafts>"));
  EXPECT_FALSE(std::filesystem::exists(dbaseXmlPath));
  EXPECT_THAT(folder.log(), HasSubstr("==> 'input/dbase.xml' not read because of "));
}

TEST(AircraftDatabase, ASecondReadStartsFromEmptyTables) {
  const ProgramFolder folder;
  const auto sections = R"(<similar_types><similar types="A320,A321"/></similar_types>
    <publishers><pub names="Acme"/></publishers>
    <thirdparties20><thirdpartie20 pub="Acme" arpts="EHAM"/></thirdparties20>)";
  ASSERT_TRUE(readDbaseText(dbaseXml(sections)));
  ASSERT_TRUE(readDbaseText(dbaseXml(sections)));
  EXPECT_EQ(SimilarGroups.size(), 1U);
  EXPECT_EQ(Publishers.size(), 1U);
  EXPECT_EQ(ThirdParties20.size(), 1U);
}

TEST(DbaseQueries, EmptyTextsAreNeitherTypesNorAirlines) {
  const ProgramFolder folder;
  ASSERT_TRUE(readDbaseText(dbaseXml("")));
  EXPECT_FALSE(gf_isKnownType(""));
  EXPECT_FALSE(gf_isIcaoAirline(""));
  EXPECT_TRUE(gf_isIcaoAirline("DLH"));
}

TEST(DbaseQueries, ContainsNoCaseComparesBytesInLowerCase) {
  EXPECT_TRUE(gf_containsNoCase("My-ACME-Scenery", "acme-scenery"));
  EXPECT_TRUE(gf_containsNoCase("", ""));
  EXPECT_TRUE(gf_containsNoCase("abc", ""));
  EXPECT_FALSE(gf_containsNoCase("ac", "acme"));
  EXPECT_FALSE(gf_containsNoCase("a-c-m-e", "acme"));
}

}  // namespace
}  // namespace cvl

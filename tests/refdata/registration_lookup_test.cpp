#include "refdata/registration_lookup.h"

#include <gtest/gtest.h>

#include "dbase_text.h"

namespace cvl {
namespace {

using test::dbaseXml;
using test::ProgramFolder;
using test::readDbaseText;
using Forms = std::vector<std::string>;

TEST(RegistrationLookup, VariantsAddTheDashAfterOneOrTwoCharacters) {
  EXPECT_EQ(gf_regVariants("ABCDE"), (Forms{"AB-CDE", "A-BCDE", "ABCDE"}));
  EXPECT_EQ(gf_regVariants("n12345"), (Forms{"n1-2345", "n-12345", "n12345"}));
  EXPECT_EQ(gf_regVariants("ABCD"), (Forms{"ABCD"}));
  EXPECT_EQ(gf_regVariants("N12345"), (Forms{"N12345"}));
  EXPECT_EQ(gf_regVariants("AB-CDE"), (Forms{"AB-CDE"}));
  EXPECT_EQ(gf_regVariants(""), (Forms{""}));
}

TEST(RegistrationLookup, FindsTheSampleRecordsWithoutTheirDash) {
  const ProgramFolder folder;
  gf_writeSealedDataFile(dbaseEncPath, test::readFile(test::sampleDataFolder() / "dbase.xml"));
  ASSERT_TRUE(gf_readDbase());
  EXPECT_EQ(gf_regAirline("PHBXA"), "KLM");  // two-character prefix
  EXPECT_EQ(gf_regAirline("DAIBP"), "DLH");  // one-character prefix
  EXPECT_EQ(gf_regOperator("D-ALFG"), "");
  EXPECT_EQ(gf_regOperator("DACNA"), "CLH");  // flown by the regional airline for its brand
  EXPECT_EQ(gf_regAirline("DACNA"), "DLH");
  EXPECT_EQ(gf_regAirline("N730UW"), "AAL");
  EXPECT_EQ(gf_regAirline("N-730UW"), "");
}

TEST(RegistrationLookup, TheFirstListedFormWins) {
  const ProgramFolder folder;
  ASSERT_TRUE(readDbaseText(dbaseXml(R"(<dbase>
    <db reg="ABCDE" airl="NODASH" type="A320" opr="plain"/>
    <db reg="AB-CDE" airl="DASHED" type="A321" opr="dashed" cargo="true"/>
    </dbase>)")));
  const auto record = gf_findDbaseRecord("ABCDE");
  ASSERT_TRUE(record);
  EXPECT_EQ(record->airl, "DASHED");
  EXPECT_EQ(record->type, "A321");
  EXPECT_TRUE(record->cargo);
  // A dash in the query is never removed.
  EXPECT_FALSE(gf_findDbaseRecord("A-BCDE"));
  EXPECT_FALSE(gf_findDbaseRecord(""));
  EXPECT_EQ(gf_regAirline(""), "");
  EXPECT_EQ(gf_regOperator("ZZZZZ"), "");
}

TEST(RegistrationLookup, ShortRegistrationsAreFoundInTextsInRecordOrder) {
  const ProgramFolder folder;
  ASSERT_TRUE(readDbaseText(dbaseXml(R"(<dbase>
    <db reg="XYZ-12" airl="SIX"/>
    <db reg="ABC-1" airl="PVT"/>
    <db reg="D-EF" airl="PVT"/>
    </dbase>)")));
  EXPECT_EQ(gf_findShortRegIn("Cessna 172 ABC-1 private"), "ABC-1");
  EXPECT_EQ(gf_findShortRegIn("D-EF and ABC-1"), "ABC-1");  // the earlier record
  EXPECT_EQ(gf_findShortRegIn("abc-1"), std::nullopt);
  EXPECT_EQ(gf_findShortRegIn("XYZ-12"), std::nullopt);  // six characters are never searched
  EXPECT_EQ(gf_findShortRegIn(""), std::nullopt);
}

}  // namespace
}  // namespace cvl

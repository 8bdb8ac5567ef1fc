#include "foundation/strings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/sim_choice.h"

namespace cvl {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

TEST(Strings, TrimRemovesOnlyBlankTabLineFeedAndCarriageReturn) {
  EXPECT_EQ(gf_trim(" \t A B \r\n"), "A B");
  EXPECT_EQ(gf_trim("\t\n"), "");
  EXPECT_EQ(gf_trim(""), "");
  EXPECT_EQ(gf_trim("\vA\v"), "\vA\v");
  EXPECT_EQ(gf_trim("\xC2\xA0"
                    "A"),
            "\xC2\xA0"
            "A");
}

TEST(Strings, SplitKeepsEmptyPieces) {
  EXPECT_THAT(gf_split(" AIG , FSLTL ,\tJF ", ','), ElementsAre("AIG", "FSLTL", "JF"));
  EXPECT_THAT(gf_split("AIG,", ','), ElementsAre("AIG", ""));
  EXPECT_THAT(gf_split(",", ','), ElementsAre("", ""));
  EXPECT_THAT(gf_split("a,,b", ','), ElementsAre("a", "", "b"));
  EXPECT_THAT(gf_split(" ", ','), ElementsAre(""));
  EXPECT_THAT(gf_split("", ','), IsEmpty());
  EXPECT_THAT(gf_split("D-AIBA;x", ';'), ElementsAre("D-AIBA", "x"));
  EXPECT_THAT(gf_splitByComma("a , b"), ElementsAre("a", "b"));
}

TEST(Strings, SplitCommaTrimmedSortsAndRemovesRepeats) {
  EXPECT_THAT(gf_splitCommaTrimmed(""), IsEmpty());
  EXPECT_THAT(gf_splitCommaTrimmed("D-AIBB,D-AIBA, D-AIBA,,D-AIBB"), ElementsAre("", "D-AIBA", "D-AIBB"));
  EXPECT_THAT(gf_splitCommaTrimmed("AB,A,,"), ElementsAre("", "A", "AB"));
}

TEST(Strings, TrimCommaListOnlyTouchesListsWithWhitespace) {
  const auto trimmed = [](std::string list) {
    gf_trimCommaList(list);
    return list;
  };
  EXPECT_EQ(trimmed(" a , b ,c"), "a,b,c");
  EXPECT_EQ(trimmed("a,,b "), "a,,b");
  EXPECT_EQ(trimmed("a,b"), "a,b");
  EXPECT_EQ(trimmed("a b"), "a b");
  EXPECT_EQ(trimmed(""), "");
}

TEST(Strings, UpperCaseComparisonChangesOnlyAsciiLetters) {
  EXPECT_EQ(gf_toUpperChar('q'), 'Q');
  EXPECT_EQ(gf_toUpperChar('Q'), 'Q');
  EXPECT_EQ(gf_toUpperChar('\xE9'), '\xE9');
  EXPECT_TRUE(gf_equalsUpper(".XML", ".xMl"));
  EXPECT_TRUE(gf_equalsUpper(".XML", ".XML"));
  EXPECT_FALSE(gf_equalsUpper(".XML", ".XM"));
  EXPECT_FALSE(gf_equalsUpper(".XML", ".XMLS"));
  EXPECT_FALSE(gf_equalsUpper(".xml", ".xml"));
}

TEST(Strings, WildcardMatchesOnlyNameFollowedByStar) {
  EXPECT_TRUE(gf_wildcardMatch("ABC", "ABC*"));
  EXPECT_FALSE(gf_wildcardMatch("ABC", "AB*"));
  EXPECT_FALSE(gf_wildcardMatch("ABC", "ABC"));
  EXPECT_FALSE(gf_wildcardMatch("ABC", "ABC**"));
  EXPECT_FALSE(gf_wildcardMatch("ABC", "*ABC"));
  EXPECT_FALSE(gf_wildcardMatch("ABC", "ABD*"));
  EXPECT_TRUE(gf_wildcardMatch("", "*"));
}

TEST(Strings, ObjectIdsAreDecimalFor2020AndHexadecimalFor2024) {
  const bool previous = msfs2020Mode.load();
  msfs2020Mode = true;
  EXPECT_EQ(gf_toHex(255), "255");
  msfs2020Mode = false;
  EXPECT_EQ(gf_toHex(255), "ff");
  EXPECT_EQ(gf_toHex(0xFFFFFFFF), "ffffffff");
  msfs2020Mode = previous;
}

}  // namespace
}  // namespace cvl

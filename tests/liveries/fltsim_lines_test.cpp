#include "liveries/fltsim_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace cvl {
namespace {

TEST(FltsimLines, KeyLinesMatchWholeLinesInAnyCaseWithBlanksAround) {
  std::string title;
  EXPECT_TRUE(lf_matchTitleLine("  TITLE\t=  Sample A320 Lufthansa  \r", title));
  EXPECT_EQ(title, "Sample A320 Lufthansa");
  EXPECT_TRUE(lf_matchTitleLine("title=x", title));
  EXPECT_EQ(title, "x");
  for (const char* line : {"title =", "title =   ", "title_ext = x", "ui_title = x", "title x", "// title = x"}) {
    EXPECT_FALSE(lf_matchTitleLine(line, title)) << line;
  }
  // The value may not run across a line break.
  EXPECT_FALSE(lf_matchTitleLine("title = a\rb", title));
}

TEST(FltsimLines, QuotedValuesAreTheTextBetweenTheFirstTwoQuotes) {
  std::string title;
  EXPECT_TRUE(lf_matchTitleLine(R"(title = "Sample A320 " ; the house colours)", title));
  EXPECT_EQ(title, "Sample A320 ");
  EXPECT_FALSE(lf_matchTitleLine(R"(title = "")", title)) << "two adjacent quotes are no title";
  EXPECT_FALSE(lf_matchTitleLine(R"(title = "never closed)", title));
  EXPECT_TRUE(lf_matchTitleLine(R"(title = a "b" c)", title));
  EXPECT_EQ(title, "b");
  std::string texture;
  EXPECT_TRUE(lf_matchTextureLine(R"(texture = "DLH")", texture));
  EXPECT_EQ(texture, "DLH");
}

TEST(FltsimLines, AirlineCodesAreUpperCasedAndTheGenericCodeShortened) {
  std::string airline;
  EXPECT_TRUE(lf_matchIcaoAirline("icao_airline = dlh", airline));
  EXPECT_EQ(airline, "DLH");
  EXPECT_TRUE(lf_matchIcaoAirline(R"(icao_airline = "")", airline));
  EXPECT_EQ(airline, "ZZZ");
  EXPECT_TRUE(lf_matchIcaoAirline("icao_airline = ZZZZ", airline));
  EXPECT_EQ(airline, "ZZZ");
  EXPECT_TRUE(lf_matchIcaoAirline("icao_airline = zzzz", airline));
  EXPECT_EQ(airline, "ZZZZ");
  EXPECT_FALSE(lf_matchIcaoAirline("icao_airline =", airline));
}

TEST(FltsimLines, HeadersGiveTheirNumberAndDamagedHeadersTenThousand) {
  EXPECT_EQ(lf_matchFltsimHeader("[fltsim.0]"), "0");
  EXPECT_EQ(lf_matchFltsimHeader("  [FltSim.12] \t"), "12");
  EXPECT_EQ(lf_matchFltsimHeader("[fltsim.12] ; a comment"), "10000");
  EXPECT_EQ(lf_matchFltsimHeader("[FLTSIM.x]"), "10000");
  EXPECT_EQ(lf_matchFltsimHeader("[Fltsim.3] ;"), "") << "neither of the two spellings the damaged test knows";
  EXPECT_EQ(lf_matchFltsimHeader("//[fltsim.1]"), "");
  EXPECT_EQ(lf_matchFltsimHeader("[General]"), "");
  EXPECT_EQ(lf_matchFltsimHeader("[fltsim.99999999999]"), "99999999999");
}

TEST(FltsimLines, AtcIdsListOneOrMoreShortRegistrationsWithoutStars) {
  std::string registration{"before"};
  EXPECT_TRUE(lf_validAtcId(" D-AIDP ", registration));
  EXPECT_EQ(registration, "D-AIDP");
  EXPECT_TRUE(lf_validAtcId("D-AIDP, D-AIDQ", registration));
  EXPECT_EQ(registration, "") << "a livery that several registrations share carries none";
  for (const char* value : {"", "D-AI*", "D-AIDP,,D-AIDQ", "ABCDEFGHIJKLM", "D-AIDP,"}) {
    EXPECT_FALSE(lf_validAtcId(value, registration)) << value;
  }
  EXPECT_TRUE(lf_validAtcId("ABCDEFGHIJKL", registration));
}

TEST(FltsimLines, AVeryLongLineIsMatchedWithoutTroubleOrStackDepth) {
  const std::string value(1 << 20, 'x');
  std::string title;
  EXPECT_TRUE(lf_matchTitleLine("title = " + value + " ", title));
  EXPECT_EQ(title.size(), value.size());
  EXPECT_EQ(lf_matchFltsimHeader("[fltsim." + std::string(1 << 20, '7') + "]").size(), std::size_t{1 << 20});
}

}  // namespace
}  // namespace cvl

#include "foundation/utilities.h"

#include <gtest/gtest.h>

#include <limits>

namespace cvl {
namespace {

TEST(Utilities, WinsockErrorTexts) {
  EXPECT_EQ(gf_wsaErrorText(10040), "10040 Messenger too long");
  EXPECT_EQ(gf_wsaErrorText(10054), "10054 Connection reset by peer");
  EXPECT_EQ(gf_wsaErrorText(10004), "10004 Interrupted system call");
  EXPECT_EQ(gf_wsaErrorText(11004), "11004 No host data of that type was found");
  EXPECT_EQ(gf_wsaErrorText(10000), "10000 Unknown errror code");
  EXPECT_EQ(gf_wsaErrorText(11002), "11002 Unknown errror code");
  EXPECT_EQ(gf_wsaErrorText(-1), "-1 Unknown errror code");
}

TEST(Utilities, NumberTextShowsADecimalOnlyForFractions) {
  EXPECT_EQ(gf_numberText(2.5F), "2.5");
  EXPECT_EQ(gf_numberText(3.0F), "3");
  EXPECT_EQ(gf_numberText(-0.5F), "-0.5");
  EXPECT_EQ(gf_numberText(1234.0F), "1234");
  EXPECT_EQ(gf_numberText(1.04F), "1.0");
}

TEST(Utilities, PercentRoundsHalvesAwayFromZero) {
  EXPECT_EQ(gf_percent(1, 3), 33);
  EXPECT_EQ(gf_percent(2, 3), 67);
  EXPECT_EQ(gf_percent(1, 8), 13);
  EXPECT_EQ(gf_percent(-1, 8), -13);
  EXPECT_EQ(gf_percent(5, 0), 0);
  EXPECT_EQ(gf_percent(5, -4), 0);
  EXPECT_EQ(gf_percent(0, 7), 0);
  EXPECT_EQ(gf_percent(std::numeric_limits<std::int64_t>::max(), 1), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(gf_percent(std::numeric_limits<std::int64_t>::min(), 1), std::numeric_limits<std::int32_t>::min());
}

TEST(Utilities, PluralEndings) {
  EXPECT_EQ(gf_pluralS(0), "s");
  EXPECT_EQ(gf_pluralS(1), "");
  EXPECT_EQ(gf_pluralS(-2), "");
  EXPECT_EQ(gf_pluralS(2), "s");
  EXPECT_EQ(gf_pluralSInt(1), "");
  EXPECT_EQ(gf_pluralSInt(-1), "");
  EXPECT_EQ(gf_pluralSInt(7), "s");
  EXPECT_EQ(gf_pluralSSize(0), "s");
  EXPECT_EQ(gf_pluralSSize(1), "");
  EXPECT_EQ(gf_pluralSSize(2), "s");
}

TEST(Utilities, StarBanners) {
  EXPECT_EQ(gf_starBanner(3, 0, false, false, ""), "****");
  EXPECT_EQ(gf_starBanner(20, 0, false, false, "parameters"), "********* parameters *********");
  EXPECT_EQ(gf_starBanner(3, 4, true, true, "ab"), "\n*** ab ***\n");
  EXPECT_EQ(gf_starBanner(10, 0, false, true, "12345678"), "12345678\n");  // too long to frame
  EXPECT_EQ(gf_starBanner(10, 0, false, false, "1234567"), "**** 1234567 ****");
  EXPECT_EQ(gf_starBanner(-4, 0, true, false, ""), "\n");
}

}  // namespace
}  // namespace cvl

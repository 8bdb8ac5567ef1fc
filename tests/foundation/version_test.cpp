#include "foundation/version.h"

#include <gtest/gtest.h>

#include "foundation/open_log.h"
#include "foundation/user_error.h"

namespace cvl {
namespace {

using test::OpenLog;

struct Reading {
  const char* text;
  VersionData version;
  bool logged;
};

class VersionReading : public testing::TestWithParam<Reading> {};

TEST_P(VersionReading, GivesTheNumbersAndLogsOnlyRealFaults) {
  const OpenLog log;
  const auto& reading = GetParam();
  EXPECT_EQ(VersionData(reading.text), reading.version) << reading.text;
  const auto body = log.body();
  if (reading.logged) {
    EXPECT_EQ(body.rfind("VersionData exception: ", 0), 0U) << body;
    EXPECT_EQ(std::count(body.begin(), body.end(), '\n'), 1);
  } else {
    EXPECT_EQ(body, "");
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, VersionReading,
                         testing::Values(Reading{"11.10.3", {11, 10, 3}, false}, Reading{"0.0.0", {0, 0, 0}, false},
                                         Reading{"", {0, 0, 0}, false},
                                         // Not a dotted version and not JSON either.
                                         Reading{"11.10.3 ", {0, 0, 0}, true}, Reading{"11-10-3", {0, 0, 0}, true},
                                         Reading{"12345", {0, 0, 0}, false},  // a JSON number
                                         Reading{"1a2b3", {0, 0, 0}, true}, Reading{"1..3", {0, 0, 0}, true},
                                         Reading{"1.2.3.4", {0, 0, 0}, true}, Reading{"1.2", {0, 0, 0}, false},
                                         Reading{"[1, 2, 3]", {0, 0, 0}, false},
                                         Reading{R"({"major": 11, "minor": 10, "patch": 3})", {11, 10, 3}, false},
                                         Reading{R"({"major": 2})", {2, 0, 0}, false},
                                         Reading{"2147483647.0.1", {2147483647, 0, 1}, false},
                                         Reading{"2147483648.1.1", {0, 0, 0}, true},
                                         // The numbers read before the fault keep their values.
                                         Reading{"7.99999999999.1", {7, 0, 0}, true},
                                         Reading{R"({"major": 3, "minor": "ten"})", {3, 0, 0}, true},
                                         Reading{R"({"major": 4, "minor": 5000000000})", {4, 0, 0}, true},
                                         Reading{R"({"major": 1.5})", {0, 0, 0}, true}));

TEST(Version, TextHasThreeNumbers) {
  EXPECT_EQ(VersionData(11, 10, 3).toString(), "11.10.3");
  EXPECT_EQ(VersionData(0, 0, 0).toStringCopy(), "0.0.0");
}

TEST(Version, IsNewerOnlyWhenAHigherNumberDecides) {
  const VersionData current(11, 10, 3);
  EXPECT_TRUE(current > VersionData(11, 9, 99));
  EXPECT_TRUE(current > VersionData(11, 10, 2));
  EXPECT_TRUE(current > VersionData(10, 99, 99));
  EXPECT_FALSE(current > VersionData(11, 10, 3));
  EXPECT_FALSE(current > VersionData(12, 0, 0));
  EXPECT_FALSE(current > VersionData(11, 11, 0));
}

TEST(UserError, MessageCarriesTheNumberExceptForNinetyNine) {
  EXPECT_STREQ(UserErrorException(41, "start me from my folder").what(), "41: start me from my folder");
  EXPECT_STREQ(UserErrorException(99, "just the text").what(), "just the text");
  const std::runtime_error& asRuntimeError = UserErrorException(77, "other simulator");
  EXPECT_STREQ(asRuntimeError.what(), "77: other simulator");
}

}  // namespace
}  // namespace cvl

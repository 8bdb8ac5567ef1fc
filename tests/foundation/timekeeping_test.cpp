#include "foundation/timekeeping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

constexpr std::int64_t dec08of2026 = 1796689237;  // Tue 2026-12-08 00:20:37 UTC
constexpr std::int64_t lastOf3000 = 32535215999;  // Wed 3000-12-31 23:59:59 UTC
constexpr std::int64_t oct05of2026 = 1791196169;  // Mon 2026-10-05 10:29:29 UTC

// Sets the traffic service's edition and data time for one test and restores them afterwards.
class TrafficClock : public testing::Test {
 protected:
  ~TrafficClock() override {
    rtProfessional = false;
    trafficReader.latestTime = 0.0;
  }
};

TEST(TimeText, ShowsUtcWithTheProgramsNames) {
  EXPECT_EQ(gf_timeText(0), "Thu Jan 01 00:00:00 1970");
  EXPECT_EQ(gf_timeText(dec08of2026), "Tue Dec 08 00:20:37 2026");
  EXPECT_EQ(gf_timeText(oct05of2026), "Mon Okt 05 10:29:29 2026");
  EXPECT_EQ(gf_timeText(lastOf3000), "Wed Dec 31 23:59:59 3000");
}

TEST(TimeText, RefusesTimesOutsideTheCalendar) {
  for (const std::int64_t seconds : {std::int64_t{-1}, lastOf3000 + 1, std::numeric_limits<std::int64_t>::min(),
                                     std::numeric_limits<std::int64_t>::max()}) {
    EXPECT_EQ(gf_timeText(seconds), "Invalid time") << seconds;
    EXPECT_EQ(gf_hmsText(seconds), "??:??:??") << seconds;
    EXPECT_EQ(gf_dateTextOf(seconds), "Invalid time") << seconds;
  }
}

TEST(TimeText, CutsTimeOfDayAndDate) {
  EXPECT_EQ(gf_hmsText(dec08of2026), "00:20:37");
  EXPECT_EQ(gf_dateTextOf(dec08of2026), "Dec 08, 2026");
  EXPECT_EQ(gf_dateTextOf(oct05of2026), "Okt 05, 2026");
  EXPECT_EQ(gf_utcNowHms().size(), 8U);
  EXPECT_EQ(gf_dateText().size(), 12U);
}

TEST(TimeText, NamesOutsideTheirRangeAreUnknown) {
  EXPECT_EQ(gf_dayName(1), "Mon");
  EXPECT_EQ(gf_dayName(7), "Sun");
  EXPECT_EQ(gf_dayName(0), "???");
  EXPECT_EQ(gf_dayName(8), "???");
  EXPECT_EQ(gf_monthName(10), "Okt");
  EXPECT_EQ(gf_monthName(0), "???");
  EXPECT_EQ(gf_monthName(13), "???");
}

TEST_F(TrafficClock, FollowsTheProfessionalEditionsDataTime) {
  trafficReader.latestTime = dec08of2026 + 0.75;
  const auto before = gf_systemNow();
  EXPECT_GE(gf_trafficNow(), before) << "the standard edition's time is not used";
  rtProfessional = true;
  EXPECT_EQ(gf_trafficNow(), dec08of2026);
  EXPECT_EQ(gf_trafficNowHms(), "00:20:37");
}

TEST_F(TrafficClock, FallsBackToTheSystemClockWithoutAUsableDataTime) {
  rtProfessional = true;
  for (const double peerTime :
       {0.0, 0.9, -5.0, 1e300, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    trafficReader.latestTime = peerTime;
    const auto before = gf_systemNow();
    const auto now = gf_trafficNow();
    EXPECT_GE(now, before) << peerTime;
    EXPECT_LE(now, gf_systemNow()) << peerTime;
    EXPECT_NE(gf_trafficNowHms(), "??:??:??") << peerTime;
  }
}

}  // namespace
}  // namespace cvl

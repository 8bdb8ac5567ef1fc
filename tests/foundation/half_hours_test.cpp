#include "foundation/half_hours.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <stdexcept>

#include "foundation/open_log.h"
#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

using test::OpenLog;

constexpr std::int64_t monday10h = 1791194400;   // Mon 2026-10-05 10:00:00 UTC
constexpr std::int64_t sunday2359 = 1791763199;  // Sun 2026-10-11 23:59:59 UTC

HalfHourSet slots(std::initializer_list<int> numbers) {
  HalfHourSet set;
  for (const int slot : numbers) {
    set.set(static_cast<std::size_t>(slot));
  }
  return set;
}

TEST(WeekTime, SlotsTurnAtTwentyNineMinutesThirtySeconds) {
  EXPECT_EQ(gf_weekTimeOf(monday10h), (WeekTime{1, 20}));
  EXPECT_EQ(gf_weekTimeOf(monday10h + 29 * 60 + 29), (WeekTime{1, 20}));
  EXPECT_EQ(gf_weekTimeOf(monday10h + 29 * 60 + 30), (WeekTime{1, 21}));
  EXPECT_EQ(gf_weekTimeOf(monday10h + 59 * 60 + 59), (WeekTime{1, 21}));
  EXPECT_EQ(gf_weekTimeOf(monday10h + 3600), (WeekTime{1, 22}));
  EXPECT_EQ(gf_weekTimeOf(sunday2359), (WeekTime{7, 47}));
  EXPECT_EQ(gf_weekTimeOf(sunday2359 + 1), (WeekTime{1, 0}));
  EXPECT_EQ(gf_weekTimeOf(-1), (WeekTime{-1, -1}));
}

TEST(WeekTime, PacksDayLowAndSlotHigh) {
  EXPECT_EQ((WeekTime{3, 21}.packed()), 3U | (21ULL << 32));
  EXPECT_EQ(WeekTime{}.packed(), 0U);
  for (const WeekTime time : {WeekTime{7, 47}, WeekTime{-1, -1}, WeekTime{1, 0}}) {
    EXPECT_EQ(WeekTime::unpacked(time.packed()), time);
  }
}

TEST(WeekTime, SlotDifferencesWrapAroundTheWeek) {
  EXPECT_EQ((WeekTime{7, 47}.weekSlot()), 335);
  EXPECT_EQ(gf_weekSlotsBetween({7, 47}, {1, 0}), 1);
  EXPECT_EQ(gf_weekSlotsBetween({1, 0}, {7, 47}), 335);
  EXPECT_EQ(gf_weekSlotsBetween({3, 10}, {3, 10}), 0);
}

TEST(WeekTime, ReadsTheTrafficClock) {
  rtProfessional = true;
  trafficReader.latestTime = static_cast<double>(sunday2359);
  EXPECT_EQ(gf_weekdayAndHalfHour(), (WeekTime{7, 47}));
  rtProfessional = false;
  trafficReader.latestTime = 0.0;
  const auto now = gf_weekdayAndHalfHour();
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 7);
}

TEST(HalfHourSet, SlotsOutsideTheDayAreRefused) {
  HalfHourSet set;
  EXPECT_THROW(set.set(48), std::out_of_range);
  EXPECT_THROW((void)set.test(48), std::out_of_range);
}

struct HoursText {
  const char* text;
  HalfHourSet set;
  const char* logged;
};

class HoursReading : public testing::TestWithParam<HoursText> {};

TEST_P(HoursReading, GivesTheSlotsAndLogsBadPieces) {
  const OpenLog log;
  const auto& reading = GetParam();
  EXPECT_EQ(gf_hours2bitset(reading.text), reading.set) << reading.text;
  EXPECT_EQ(log.body(), reading.logged) << reading.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HoursReading,
    testing::Values(HoursText{"0:47", HalfHourSet{}.set(), ""}, HoursText{" 3 : 5 ", slots({3, 4, 5}), ""},
                    HoursText{"5", slots({5}), ""}, HoursText{" 3 , 7 ", slots({3, 7}), ""}, HoursText{"", {}, ""},
                    HoursText{"12abc", slots({12}), ""}, HoursText{"-0", slots({0}), ""},
                    HoursText{"7:3", {}, "==> gf_hours2bitset descending range not allowed (7:3 in 7:3)\n"},
                    HoursText{"1:2:3", {}, "==> gf_hours2bitset more than one colon char in: 1:2:3\n"},
                    HoursText{"5:", {}, "==> operator () invalid hour '' in 5:\n"},
                    HoursText{"x:1:2", {}, "==> operator () invalid hour 'x' in x:1:2\n"},
                    HoursText{"48", {}, "==> operator () invalid hour '48' in 48\n"},
                    HoursText{"-1", {}, "==> operator () invalid hour '-1' in -1\n"},
                    HoursText{"99999999999", {}, "==> operator () invalid hour '99999999999' in 99999999999\n"},
                    HoursText{"1,,2", slots({1, 2}), "==> operator () invalid hour '' in 1,,2\n"},
                    HoursText{
                        "4,+5,", slots({4}),
                        "==> operator () invalid hour '+5' in 4,+5,\n==> operator () invalid hour '' in 4,+5,\n"}));

TEST(HalfHourSet, TextFormsAreRangeSingleOrList) {
  EXPECT_FALSE(gf_bitset2hours({}).has_value());
  EXPECT_EQ(gf_bitset2hours(slots({3, 4, 5})), "3:5");
  EXPECT_EQ(gf_bitset2hours(slots({9})), "9");
  EXPECT_EQ(gf_bitset2hours(HalfHourSet{}.set()), "0:47");
  EXPECT_EQ(gf_bitset2hours(slots({3, 5})), "3,5");
  EXPECT_EQ(gf_bitset2hours(slots({0, 1, 2, 47})), "0,1,2,47");
}

TEST(HalfHourSet, EveryWrittenTextReadsBackTheSameSet) {
  for (const auto& set : {slots({0}), slots({47}), slots({3, 4, 5}), slots({3, 5}), slots({0, 10, 11, 12, 47}),
                          HalfHourSet{}.set(), HalfHourSet{0xAAAAAAAAAAAAULL}}) {
    const auto text = gf_bitset2hours(set);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(gf_hours2bitset(*text), set) << *text;
  }
}

}  // namespace
}  // namespace cvl

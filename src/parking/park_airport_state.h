#pragma once

#include <atomic>
#include <cstdint>

// What the main window shows of the park airport beside its display values.
namespace cvl {

// A park airport is being served.
extern std::atomic<bool> parkAirportActive;
// The traffic week of the park airport's file (RT_traffic_week); 0 when the file has none.
extern std::atomic<std::int32_t> rtTrafficWeek;

// The static parked aircraft in the simulator. With the flag it also refreshes the main window's static average fit.
std::uint64_t gf_countStaticParked(bool withAverage);

}  // namespace cvl

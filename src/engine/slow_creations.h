#pragma once

#include <cstdint>

// The book of live creations given up: for each flight whose creation the simulator did not show in time, how long its
// next creation has to show, when the last one was given up, and whether any of its objects has shown since. A model
// that loads slowly and one that never loads cannot be told apart when a creation is late; its late object tells.
// Worker thread.
namespace cvl {

// Ticks the simulator has at first to show a created aircraft.
inline constexpr std::int32_t firstShowTicks = 6000;

// The creation of the flight was given up: its next one has twice as long to show, up to four minutes.
void gf_noteGivenUp(std::uint32_t hexid);
// The ticks the flight's next creation has to show.
std::int32_t gf_showTicksFor(std::uint32_t hexid);
// Its last creation was given up and the flight has not been shown since: its late object may yet show.
bool gf_givenUpNotShown(std::uint32_t hexid);
// ... and no object of it has shown either: its model may never load.
bool gf_modelMayNeverLoad(std::uint32_t hexid);
// Whether the flight whose model may never load has waited since its give-up as long as it must before it may be
// created again while places are contested: a minute after its first give-up, since the simulator may only have lost
// that creation; six minutes and a part of a minute that differs from flight to flight after a later one, so that
// flights given up together do not come back together.
bool gf_waitedAfterGiveUp(std::uint32_t hexid);
// The tick from which it has so waited; 0 for a flight whose model is not in doubt.
std::int32_t gf_waitedAfterGiveUpFrom(std::uint32_t hexid);
// Of two flights whose models may never load, whether the first was given up before the second.
bool gf_givenUpBefore(std::uint32_t first, std::uint32_t second);
// An object of the flight's creations has shown, taken by it or not: its model loads, if slowly.
void gf_noteObjectShown(std::uint32_t hexid);
// The flight is shown with an object of its own.
void gf_noteShown(std::uint32_t hexid);
// Forgets every flight (the reset of the traffic state).
void gf_clearSlowCreations();

}  // namespace cvl

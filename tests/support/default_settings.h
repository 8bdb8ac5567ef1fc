#pragma once

namespace cvl::test {

// Puts every setting back to the value a fresh start of the program gives it: the stored settings, the ones the
// window keeps for itself, the live callsign list and the radius derived from RANGE. The test programs' main does
// this before every test, so that no test sees what an earlier one set.
void restoreDefaultSettings();

}  // namespace cvl::test

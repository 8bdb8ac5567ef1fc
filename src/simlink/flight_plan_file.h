#pragma once

#include <cstdint>
#include <filesystem>

#include "engine/ac_identity.h"

// The flight-plan file of one live AI aircraft whose origin and destination are known: just enough for the simulator
// to label the aircraft with its route. The engine writes it into the flight-plan folder (flight_plan_folder.h) and,
// with MSFS 2020, hands it to the simulator.
namespace cvl {

// The file name "{number}.pln", the number (the aircraft's object id) in decimal; the caller joins it to the folder.
std::filesystem::path gf_flightPlanPath(std::uint32_t number);

// Writes the plan (IFR for Buzjets, Large and Heavy, else VFR; the origin and destination as the departure and
// destination), replacing an earlier file of that name. False when the file could not be written.
bool gf_writeFlightPlan(const std::filesystem::path& path, const AcIdentity& identity);

}  // namespace cvl

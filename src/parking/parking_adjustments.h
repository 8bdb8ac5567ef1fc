#pragma once

// The periodic re-selection of the static aircraft at the park airport.
namespace cvl {

// Adds and removes static aircraft so that the park airport holds the wanted number again.
void gf_parkingAdjustments();

}  // namespace cvl

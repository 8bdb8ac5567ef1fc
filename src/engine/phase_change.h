#pragma once

#include "engine/live_ac.h"

// Phase changes of a live aircraft remember the phase it left.
namespace cvl {

// Sets the phase; when it changes, the old one becomes the previous phase.
inline void gf_setPhase(LiveAc& aircraft, AcPhase phase) {
  if (aircraft.phase != phase) {
    aircraft.prevPhase = aircraft.phase;
    aircraft.phase = phase;
  }
}

}  // namespace cvl

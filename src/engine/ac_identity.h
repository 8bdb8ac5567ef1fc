#pragma once

#include <cstdint>
#include <string_view>

#include "engine/ac_category.h"
#include "engine/identity_texts.h"

// Who an aircraft is and the values that follow from its type: the head of every aircraft record.
namespace cvl {

struct AcIdentity : IdentityTexts {
  // Takes the texts of a traffic item or of another identity-headed record (they become empty there) and fills the
  // type's values: half span and category from the aircraft database, tick counts and pitches of the category.
  explicit AcIdentity(IdentityTexts& source);

  // Moves take the texts along and copy everything else.
  AcIdentity(AcIdentity&&) noexcept = default;
  AcIdentity& operator=(AcIdentity&&) noexcept = default;
  ~AcIdentity() = default;

  // Takes the texts and the coupled-search flag of the source, leaving its texts empty.
  void moveAssignStrings(IdentityTexts& source) { static_cast<IdentityTexts&>(*this) = std::move(source); }

  double halfSpan = 0.0;  // nautical miles
  // The simulator's static CG height (feet) and static pitch (radians) of the created object; 0 until they arrive.
  double staticCgHeight = 0.0;
  double staticPitch = 0.0;
  // Radians, negative nose up: the category's values varied at random by 2.5 % and 5 %.
  double rotationPitch = 0.0;
  double climbPitch = 0.0;
  double turnStep = 0.0;  // radians per tick on the ground
  // Filled by the engine when it creates a live aircraft.
  double turnStepNow = 0.0;
  double maxClimbStep = 0.0;    // feet per tick
  double standTaxiSpeed = 0.0;  // knots
  // Live aircraft above 10000, static aircraft 10000 and below.
  std::uint32_t hexid = 0;
  AcCategory category = AcCategory::Light;
  // The livery title chosen by the livery matcher; the livery tables own the text. Empty: none.
  std::string_view liveryTitle;
  std::uint32_t flareTicks = 0;
  std::uint32_t onGroundSlots = 0;
  std::uint32_t rollTicks = 0;
  std::uint32_t rotateTicks = 0;
  // Prefer cargo liveries.
  bool cargo = false;
  // The chosen title comes from an FSLTL package.
  bool fsltlTitle = false;
};

}  // namespace cvl

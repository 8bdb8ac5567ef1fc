#include "engine/ac_identity.h"

#include <gsl/narrow>

#include "foundation/constants.h"
#include "foundation/geometry.h"
#include "foundation/random.h"
#include "refdata/dbase_queries.h"

namespace cvl {

AcIdentity::AcIdentity(IdentityTexts& source)
    : IdentityTexts(std::move(source)),
      halfSpan(gf_halfWingspan(type)),
      category(gf_aircraftCategory(type)),
      flareTicks(gsl::narrow<std::uint32_t>(categoryFlareTicks.at(category))),
      onGroundSlots(gsl::narrow<std::uint32_t>(categoryTouchdownTicks.at(category))),
      rollTicks(gsl::narrow<std::uint32_t>(categoryRotationTicks.at(category))),
      rotateTicks(gsl::narrow<std::uint32_t>(categoryClimbPitchTicks.at(category))) {
  rotationPitch = gf_randomVariation(categoryRotationPitch.at(category), 2.5) * degreesToRadians;
  climbPitch = gf_randomVariation(categoryClimbPitch.at(category), 5.0) * degreesToRadians;
  turnStep = categoryTurnStep.at(category);
}

}  // namespace cvl

#include "engine/static_ac.h"

namespace cvl {

StaticAc::StaticAc(AcIdentity& identity, std::uint32_t sid, const StandPlace& stand, bool cargoStand)
    : AcIdentity(std::move(identity)),
      standLat(stand.lat),
      standLon(stand.lon),
      standHeading(stand.heading),
      standId(sid),
      standCargo(cargoStand) {}

}  // namespace cvl

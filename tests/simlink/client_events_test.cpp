#include "simlink/client_events.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/static_ac.h"
#include "link_fixture.h"
#include "simlink/send_queues.h"
#include "simlink/sim_ids.h"

namespace cvl {

void PrintTo(const ClientEventItem& item, std::ostream* out) {
  *out << "{" << item.objectId << ", " << item.event << ", " << item.value << "}";
}

namespace test {
namespace {

StaticAc aircraftOf(AcCategory category) {
  IdentityTexts texts;
  AcIdentity identity{texts};
  StaticAc aircraft{identity, 0, {}, false};
  aircraft.objectId = 300;
  aircraft.category = category;
  return aircraft;
}

class ClientEvents : public LinkTest {
 protected:
  std::vector<ClientEventItem> queued() { return std::exchange(simSendQueues.clientEvents, {}); }
};

TEST_F(ClientEvents, FlapsAreSentOnlyWhenTheyChange) {
  auto aircraft = aircraftOf(AcCategory::Large);
  aircraft.flapsIndex = 0;
  gf_setFlaps(aircraft, 4);  // up again, the same value as index 0
  gf_setFlaps(aircraft, 4);
  gf_setFlaps(aircraft, 2);
  const std::vector<ClientEventItem> expected{{300, FLAPS_SET, 0}, {300, FLAPS_SET, 10240}};
  EXPECT_EQ(queued(), expected);
}

TEST_F(ClientEvents, AnInvalidFlapsIndexIsLoggedOnceAndKept) {
  auto aircraft = aircraftOf(AcCategory::Large);
  gf_setFlaps(aircraft, 7);
  gf_setFlaps(aircraft, 7);
  EXPECT_TRUE(queued().empty());
  EXPECT_EQ(aircraft.flapsIndex, 7u);
  const auto log = logText();
  EXPECT_NE(log.find("==> gf_setFlaps: invalid flaps index"), std::string::npos);
  EXPECT_EQ(log.find("invalid flaps index"), log.rfind("invalid flaps index"));
}

TEST_F(ClientEvents, ThrottleLevelFiveUnsetsWithoutAnEvent) {
  auto aircraft = aircraftOf(AcCategory::Large);
  gf_setThrottle(aircraft, 2);
  gf_setThrottle(aircraft, 5);
  EXPECT_EQ(aircraft.throttleLevel, 5u);
  gf_setThrottle(aircraft, 2);
  gf_setThrottle(aircraft, 4);
  const std::vector<ClientEventItem> expected{
      {300, THROTTLE_SET, 8191}, {300, THROTTLE_SET, 8191}, {300, THROTTLE_SET, 16383}};
  EXPECT_EQ(queued(), expected);
}

TEST_F(ClientEvents, ARotorcraftHasNoSpoilersGearOrFlaps) {
  auto helicopter = aircraftOf(AcCategory::Rotorcraft);
  gf_setSpoilers(helicopter, 1);
  gf_setGear(helicopter, true);
  gf_setFlaps(helicopter, 2);
  EXPECT_TRUE(queued().empty());
  gf_setThrottle(helicopter, 1);
  gf_engineStart(300);
  gf_engineShutdown(300);
  gf_setNavLights(300, 1);
  gf_setCabinLights(300, 0);
  const std::vector<ClientEventItem> expected{{300, THROTTLE_SET, 4914},
                                              {300, ENGINE_AUTO_START, 0},
                                              {300, ENGINE_AUTO_SHUTDOWN, 0},
                                              {300, NAV_LIGHTS_SET, 1},
                                              {300, CABIN_LIGHTS_SET, 0}};
  EXPECT_EQ(queued(), expected);
}

}  // namespace
}  // namespace test
}  // namespace cvl

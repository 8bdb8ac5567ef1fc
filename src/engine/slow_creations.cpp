#include "engine/slow_creations.h"

#include <algorithm>
#include <unordered_map>

#include "engine/live_ac_lookup.h"
#include "engine/tick_count.h"

namespace cvl {
namespace {

constexpr std::int32_t longestShowTicks = 4 * firstShowTicks;
// How long a flight gone from the records is still known for its slow creations.
constexpr std::int32_t forgetTicks = 12000;
constexpr std::int32_t laterGiveUpWaitTicks = 6 * firstShowTicks;

struct SlowCreation {
  std::int32_t showTicks = firstShowTicks;
  std::int32_t givenUpAt = 0;
  // It has been shown since, with the object of a later creation or of the one given up.
  bool shownSince = false;
  // An object of its creations showed since the give-up, taken or not.
  bool objectShown = false;
};

// By hexid: every buffer step and every judgement at the limit asks.
std::unordered_map<std::uint32_t, SlowCreation> slowCreations;

SlowCreation* lf_slowCreationOf(std::uint32_t hexid) {
  const auto slow = slowCreations.find(hexid);
  return slow == slowCreations.end() ? nullptr : &slow->second;
}

const SlowCreation* lf_mayNeverLoad(std::uint32_t hexid) {
  const SlowCreation* slow = lf_slowCreationOf(hexid);
  return slow != nullptr && !slow->shownSince && !slow->objectShown ? slow : nullptr;
}

// Up to a minute, the same for a flight at each give-up: a hash of its hexid.
std::int32_t lf_spreadTicks(std::uint32_t hexid) {
  return static_cast<std::int32_t>((hexid * 2654435761U) >> 26U) * firstShowTicks / 64;
}

}  // namespace

void gf_noteGivenUp(std::uint32_t hexid) {
  // The book keeps only flights still reported, or given up of late.
  std::erase_if(slowCreations, [](const auto& each) {
    return tickCount - each.second.givenUpAt > forgetTicks && gf_findLiveAcByHexid(each.first) == nullptr;
  });
  SlowCreation& slow = slowCreations[hexid];
  slow.showTicks = std::min(2 * slow.showTicks, longestShowTicks);
  slow.givenUpAt = tickCount;
  slow.shownSince = false;
  slow.objectShown = false;
}

std::int32_t gf_showTicksFor(std::uint32_t hexid) {
  const SlowCreation* slow = lf_slowCreationOf(hexid);
  return slow == nullptr ? firstShowTicks : slow->showTicks;
}

bool gf_givenUpNotShown(std::uint32_t hexid) {
  const SlowCreation* slow = lf_slowCreationOf(hexid);
  return slow != nullptr && !slow->shownSince;
}

bool gf_modelMayNeverLoad(std::uint32_t hexid) {
  return lf_mayNeverLoad(hexid) != nullptr;
}

bool gf_waitedAfterGiveUp(std::uint32_t hexid) {
  return tickCount >= gf_waitedAfterGiveUpFrom(hexid);
}

std::int32_t gf_waitedAfterGiveUpFrom(std::uint32_t hexid) {
  const SlowCreation* slow = lf_mayNeverLoad(hexid);
  if (slow == nullptr) {
    return 0;
  }
  const bool first = slow->showTicks < longestShowTicks;
  return slow->givenUpAt + (first ? firstShowTicks : laterGiveUpWaitTicks + lf_spreadTicks(hexid));
}

bool gf_givenUpBefore(std::uint32_t first, std::uint32_t second) {
  const SlowCreation* early = lf_mayNeverLoad(first);
  const SlowCreation* late = lf_mayNeverLoad(second);
  return early != nullptr && late != nullptr && early->givenUpAt < late->givenUpAt;
}

void gf_noteObjectShown(std::uint32_t hexid) {
  if (SlowCreation* slow = lf_slowCreationOf(hexid)) {
    slow->objectShown = true;
  }
}

void gf_noteShown(std::uint32_t hexid) {
  if (SlowCreation* slow = lf_slowCreationOf(hexid)) {
    slow->shownSince = true;
    slow->objectShown = true;
  }
}

void gf_clearSlowCreations() {
  slowCreations.clear();
}

}  // namespace cvl

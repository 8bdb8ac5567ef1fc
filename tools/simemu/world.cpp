#include "simemu/world.h"

#include <cmath>
#include <numbers>

namespace cvl::simemu {
namespace {

constexpr double earthRadiusMetres = 6371008.8;

double distanceMetres(const SimObject& a, const SimObject& b) {
  const auto radians = [](double degrees) { return degrees * std::numbers::pi / 180.0; };
  const double dLat = radians(b.latitude - a.latitude);
  const double dLon = radians(b.longitude - a.longitude);
  const double h = std::sin(dLat / 2) * std::sin(dLat / 2) + std::cos(radians(a.latitude)) *
                                                                 std::cos(radians(b.latitude)) * std::sin(dLon / 2) *
                                                                 std::sin(dLon / 2);
  return 2 * earthRadiusMetres * std::asin(std::min(1.0, std::sqrt(h)));
}

bool isOfType(const SimObject& object, SIMCONNECT_SIMOBJECT_TYPE type) {
  return type == SIMCONNECT_SIMOBJECT_TYPE_ALL || object.type == type;
}

}  // namespace

World::World(const Scenario& scenario, std::int64_t unixTime)
    : user_(scenario.user),
      groundAltitudeFt_(scenario.groundAltitudeFt),
      unixTime_(static_cast<double>(scenario.unixTime.value_or(unixTime))) {
  user_.id = userId;
  user_.ownerClient = 0;
  for (const auto& aircraft : scenario.traffic) {
    add(aircraft);
  }
}

SimObject* World::find(std::uint32_t objectId) {
  if (objectId == SIMCONNECT_OBJECT_ID_USER || objectId == userId) {
    return &user_;
  }
  const auto found = objects_.find(objectId);
  return found != objects_.end() ? &found->second : nullptr;
}

const SimObject& World::add(SimObject object) {
  object.id = nextId_++;
  return objects_.emplace(object.id, std::move(object)).first->second;
}

std::optional<SimObject> World::remove(std::uint32_t objectId) {
  const auto found = objects_.find(objectId);
  if (found == objects_.end()) {
    return std::nullopt;
  }
  auto object = std::move(found->second);
  objects_.erase(found);
  return object;
}

std::vector<std::uint32_t> World::objectsOf(std::uint32_t client) const {
  std::vector<std::uint32_t> ids;
  for (const auto& [id, object] : objects_) {
    if (object.ownerClient == client) {
      ids.push_back(id);
    }
  }
  return ids;
}

std::vector<const SimObject*> World::objectsWithin(double radiusMetres, SIMCONNECT_SIMOBJECT_TYPE type) const {
  std::vector<const SimObject*> found;
  if (type == SIMCONNECT_SIMOBJECT_TYPE_USER || isOfType(user_, type)) {
    found.push_back(&user_);
  }
  if (type == SIMCONNECT_SIMOBJECT_TYPE_USER) {
    return found;
  }
  for (const auto& [id, object] : objects_) {
    if (isOfType(object, type) && distanceMetres(user_, object) <= radiusMetres) {
      found.push_back(&object);
    }
  }
  return found;
}

WorldView World::view() const {
  return {groundAltitudeFt_, static_cast<std::int64_t>(std::floor(unixTime_))};
}

}  // namespace cvl::simemu

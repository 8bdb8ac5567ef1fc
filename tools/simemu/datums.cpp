#include "simemu/datums.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "simemu/letter_case.h"
#include "simemu/units.h"
#include "simemu/zulu_time.h"

namespace cvl::simemu {

// A datum the simulator knows: its value as the object keeps it (in storedUnit), and how a client's value is taken.
struct DatumEntry {
  std::string_view name;
  std::string_view storedUnit;  // "" for texts
  double (*readNumber)(const SimObject&, const WorldView&, int index) = nullptr;
  std::string (*readText)(const SimObject&) = nullptr;
  void (*writeNumber)(SimObject&, double value, const WorldView&, int index) = nullptr;
};

namespace {

double altitudeAboveGround(const SimObject& o, const WorldView& w) {
  return std::max(0.0, o.altitudeFt - w.groundAltitudeFt);
}

double throttleAt(const SimObject& o, int index) {
  return index >= 1 && index <= static_cast<int>(o.throttlePct.size()) ? o.throttlePct[index - 1] : 0.0;
}

void setAltitude(SimObject& o, double feet, const WorldView& w) {
  o.altitudeFt = feet;
  o.onGround = standsAtHeight(o, feet, w.groundAltitudeFt);
}

const std::array<DatumEntry, 26> catalogue{{
    {"TITLE", "", nullptr, [](const SimObject& o) { return o.title; }},
    {"ATC TYPE", "", nullptr, [](const SimObject& o) { return o.atcType; }},
    {"ATC MODEL", "", nullptr, [](const SimObject& o) { return o.atcModel; }},
    {"ATC ID", "", nullptr, [](const SimObject& o) { return o.tail; }},
    {"SIM ON GROUND", "bool", [](const SimObject& o, const WorldView&, int) { return o.onGround ? 1.0 : 0.0; }, nullptr,
     [](SimObject& o, double v, const WorldView&, int) { o.onGround = v != 0; }},
    {"PLANE LATITUDE", "degrees", [](const SimObject& o, const WorldView&, int) { return o.latitude; }, nullptr,
     [](SimObject& o, double v, const WorldView&, int) { o.latitude = v; }},
    {"PLANE LONGITUDE", "degrees", [](const SimObject& o, const WorldView&, int) { return o.longitude; }, nullptr,
     [](SimObject& o, double v, const WorldView&, int) { o.longitude = v; }},
    {"PLANE PITCH DEGREES", "degrees", [](const SimObject& o, const WorldView&, int) { return o.pitchDeg; }, nullptr,
     [](SimObject& o, double v, const WorldView&, int) { o.pitchDeg = v; }},
    {"PLANE BANK DEGREES", "degrees", [](const SimObject& o, const WorldView&, int) { return o.bankDeg; }, nullptr,
     [](SimObject& o, double v, const WorldView&, int) { o.bankDeg = v; }},
    {"PLANE HEADING DEGREES TRUE", "degrees", [](const SimObject& o, const WorldView&, int) { return o.headingDeg; },
     nullptr, [](SimObject& o, double v, const WorldView&, int) { o.headingDeg = v; }},
    {"PLANE ALTITUDE", "feet", [](const SimObject& o, const WorldView&, int) { return o.altitudeFt; }, nullptr,
     [](SimObject& o, double v, const WorldView& w, int) { setAltitude(o, v, w); }},
    {"PLANE ALT ABOVE GROUND", "feet",
     [](const SimObject& o, const WorldView& w, int) { return altitudeAboveGround(o, w); }},
    {"GROUND ALTITUDE", "feet", [](const SimObject&, const WorldView& w, int) { return w.groundAltitudeFt; }},
    {"VERTICAL SPEED", "feet per second", [](const SimObject& o, const WorldView&, int) { return o.verticalSpeedFps; },
     nullptr, [](SimObject& o, double v, const WorldView&, int) { o.verticalSpeedFps = v; }},
    {"AIRSPEED TRUE", "knots", [](const SimObject& o, const WorldView&, int) { return o.airspeedKt; }, nullptr,
     [](SimObject& o, double v, const WorldView&, int) { o.airspeedKt = v; }},
    {"GROUND VELOCITY", "knots", [](const SimObject& o, const WorldView&, int) { return o.airspeedKt; }},
    {"ZULU TIME", "seconds",
     [](const SimObject&, const WorldView& w, int) {
       return static_cast<double>(zuluTimeAt(w.unixTime).secondsOfDay);
     }},
    {"ZULU DAY OF YEAR", "number",
     [](const SimObject&, const WorldView& w, int) { return static_cast<double>(zuluTimeAt(w.unixTime).dayOfYear); }},
    {"ZULU YEAR", "number",
     [](const SimObject&, const WorldView& w, int) { return static_cast<double>(zuluTimeAt(w.unixTime).year); }},
    {"LIGHT STATES", "mask", [](const SimObject& o, const WorldView&, int) { return static_cast<double>(o.lights); }},
    {"LIGHT ON STATES", "mask",
     [](const SimObject& o, const WorldView&, int) { return static_cast<double>(o.lights); }},
    {"STATIC CG TO GROUND", "feet", [](const SimObject& o, const WorldView&, int) { return o.staticCgFt; }},
    {"STATIC PITCH", "degrees", [](const SimObject& o, const WorldView&, int) { return o.staticPitchDeg; }},
    {"WING SPAN", "feet", [](const SimObject& o, const WorldView&, int) { return o.wingspanFt; }},
    {"SPOILERS HANDLE POSITION", "percent", [](const SimObject& o, const WorldView&, int) { return o.spoilersPct; },
     nullptr, [](SimObject& o, double v, const WorldView&, int) { o.spoilersPct = v; }},
    {"GENERAL ENG THROTTLE LEVER POSITION", "percent",
     [](const SimObject& o, const WorldView&, int index) { return throttleAt(o, index); }, nullptr,
     [](SimObject& o, double v, const WorldView&, int index) {
       if (index >= 1 && index <= static_cast<int>(o.throttlePct.size())) {
         o.throttlePct[index - 1] = v;
       }
     }},
}};

// "NAME:n" names the n-th of several (engines, for example).
std::pair<std::string, int> splitIndex(std::string_view name) {
  const auto colon = name.rfind(':');
  int index = 0;
  if (colon != std::string_view::npos) {
    const auto digits = name.substr(colon + 1);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (error == std::errc{} && end == digits.data() + digits.size()) {
      return {upperCase(name.substr(0, colon)), index};
    }
  }
  return {upperCase(name), 0};
}

bool isText(SIMCONNECT_DATATYPE type) {
  return type >= SIMCONNECT_DATATYPE_STRING8 && type <= SIMCONNECT_DATATYPE_STRINGV;
}
bool isNumber(SIMCONNECT_DATATYPE type) {
  return type >= SIMCONNECT_DATATYPE_INT32 && type <= SIMCONNECT_DATATYPE_FLOAT64;
}

// Bytes of a datum in a block; 0 for STRINGV, whose length is its text's.
std::size_t fixedSize(SIMCONNECT_DATATYPE type) {
  switch (type) {
    case SIMCONNECT_DATATYPE_INT32:
    case SIMCONNECT_DATATYPE_FLOAT32:
      return 4;
    case SIMCONNECT_DATATYPE_INT64:
    case SIMCONNECT_DATATYPE_FLOAT64:
    case SIMCONNECT_DATATYPE_STRING8:
      return 8;
    case SIMCONNECT_DATATYPE_STRING32:
      return 32;
    case SIMCONNECT_DATATYPE_STRING64:
      return 64;
    case SIMCONNECT_DATATYPE_STRING128:
      return 128;
    case SIMCONNECT_DATATYPE_STRING256:
      return 256;
    case SIMCONNECT_DATATYPE_STRING260:
      return 260;
    default:
      return 0;
  }
}

template <class Integer>
Integer toInteger(double value) {
  if (!std::isfinite(value)) {
    return 0;
  }
  if (value >= static_cast<double>(std::numeric_limits<Integer>::max())) {
    return std::numeric_limits<Integer>::max();
  }
  if (value <= static_cast<double>(std::numeric_limits<Integer>::min())) {
    return std::numeric_limits<Integer>::min();
  }
  return static_cast<Integer>(value);
}

template <class T>
void appendRaw(simconnect::Frame& block, T value) {
  const auto* first = reinterpret_cast<const std::byte*>(&value);
  block.insert(block.end(), first, first + sizeof(T));
}

void appendNumber(simconnect::Frame& block, double value, SIMCONNECT_DATATYPE type) {
  switch (type) {
    case SIMCONNECT_DATATYPE_INT32:
      return appendRaw(block, toInteger<std::int32_t>(value));
    case SIMCONNECT_DATATYPE_INT64:
      return appendRaw(block, toInteger<std::int64_t>(value));
    case SIMCONNECT_DATATYPE_FLOAT32:
      return appendRaw(block, static_cast<float>(value));
    default:
      return appendRaw(block, value);
  }
}

void appendText(simconnect::Frame& block, const std::string& text, SIMCONNECT_DATATYPE type) {
  const auto size = fixedSize(type);
  const auto count = size == 0 ? text.size() : std::min(text.size(), size - 1);
  const auto* first = reinterpret_cast<const std::byte*>(text.data());
  block.insert(block.end(), first, first + count);
  block.insert(block.end(), size == 0 ? 1 : size - count, std::byte{0});
}

template <class T>
double readRaw(std::span<const std::byte> bytes) {
  T value{};
  std::memcpy(&value, bytes.data(), sizeof(T));
  return static_cast<double>(value);
}

double readNumber(std::span<const std::byte> bytes, SIMCONNECT_DATATYPE type) {
  switch (type) {
    case SIMCONNECT_DATATYPE_INT32:
      return readRaw<std::int32_t>(bytes);
    case SIMCONNECT_DATATYPE_INT64:
      return readRaw<std::int64_t>(bytes);
    case SIMCONNECT_DATATYPE_FLOAT32:
      return readRaw<float>(bytes);
    default:
      return readRaw<double>(bytes);
  }
}

// The bytes the datum takes at the start of `rest`, or nullopt when `rest` is too short.
std::optional<std::size_t> datumLength(const Datum& datum, std::span<const std::byte> rest) {
  if (const auto size = fixedSize(datum.type); size > 0) {
    return size <= rest.size() ? std::optional(size) : std::nullopt;
  }
  const auto end = std::find(rest.begin(), rest.end(), std::byte{0});
  return end != rest.end() ? std::optional(static_cast<std::size_t>(end - rest.begin()) + 1) : std::nullopt;
}

}  // namespace

DatumDeclaration declareDatum(std::string_view name, std::string_view units, SIMCONNECT_DATATYPE type) {
  if (!isText(type) && !isNumber(type)) {
    return {std::nullopt, DatumFault::wrongType};
  }
  const auto [baseName, index] = splitIndex(name);
  const auto* entry =
      std::find_if(catalogue.begin(), catalogue.end(), [&baseName](const DatumEntry& e) { return e.name == baseName; });
  Datum unknown{nullptr, index, type, 1};
  if (entry == catalogue.end()) {
    return {unknown, DatumFault::unknownName};
  }
  const auto stored = findUnit(entry->storedUnit);
  const auto declared = findUnit(units);
  if (!declared || declared->dimension != stored->dimension) {
    return {unknown, DatumFault::unknownUnits};
  }
  if (isText(type) != (entry->readText != nullptr)) {
    return {unknown, DatumFault::wrongType};
  }
  return {Datum{entry, index, type, stored->inBase / declared->inBase}, std::nullopt};
}

simconnect::Frame encodeBlock(const std::vector<Datum>& definition, const SimObject& object, const WorldView& world) {
  simconnect::Frame block;
  for (const auto& datum : definition) {
    if (isText(datum.type)) {
      appendText(block, datum.entry != nullptr ? datum.entry->readText(object) : std::string(), datum.type);
    } else {
      const double stored = datum.entry != nullptr ? datum.entry->readNumber(object, world, datum.index) : 0.0;
      appendNumber(block, stored * datum.storedToDeclared, datum.type);
    }
  }
  return block;
}

bool applyBlock(const std::vector<Datum>& definition, std::span<const std::byte> block, SimObject& object,
                const WorldView& world) {
  std::vector<std::pair<const Datum*, double>> numbers;
  auto rest = block;
  for (const auto& datum : definition) {
    const auto length = datumLength(datum, rest);
    if (!length) {
      return false;
    }
    if (isNumber(datum.type)) {
      numbers.emplace_back(&datum, readNumber(rest, datum.type));
    }
    rest = rest.subspan(*length);
  }
  if (!rest.empty()) {
    return false;
  }
  for (const auto& [datum, value] : numbers) {
    if (datum->entry != nullptr && datum->entry->writeNumber != nullptr) {
      datum->entry->writeNumber(object, value / datum->storedToDeclared, world, datum->index);
    }
  }
  return true;
}

}  // namespace cvl::simemu

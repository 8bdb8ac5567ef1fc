#include "bglgen/bgl_writer.h"

#include <bit>
#include <cmath>

namespace cvl::bglgen {
namespace {

constexpr std::size_t recordHeaderBytes = 6;
constexpr std::size_t airportHeaderBytes = 68;
constexpr std::size_t fileHeaderBytes = 56;
constexpr std::size_t sectionHeaderBytes = 20;
constexpr std::size_t subsectionHeaderBytes = 16;
constexpr std::uint32_t fileMagic = 0x19920201;
constexpr std::uint16_t airportId = 0x56;
constexpr std::uint16_t helipadId = 0x26;
constexpr std::uint16_t parkingListId = 0xE7;

void putU16(std::string& bytes, std::uint16_t value) {
  bytes += static_cast<char>(value & 0xFFU);
  bytes += static_cast<char>(value >> 8);
}

void putU32(std::string& bytes, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    bytes += static_cast<char>((value >> shift) & 0xFFU);
  }
}

void putF32(std::string& bytes, float value) {
  putU32(bytes, std::bit_cast<std::uint32_t>(value));
}

void putZeros(std::string& bytes, std::size_t count) {
  bytes.append(count, '\0');
}

std::uint32_t icaoDigit(char c) {
  if (c >= '0' && c <= '9') {
    return static_cast<std::uint32_t>(c - '0') + 2;
  }
  if (c >= 'A' && c <= 'Z') {
    return static_cast<std::uint32_t>(c - 'A') + 12;
  }
  return 0;
}

std::uint32_t parkingFlags(const Parking& parking) {
  return (parking.nameKind & 0x3FU) | ((parking.type & 0xFU) << 8) | ((parking.number & 0xFFFU) << 12) |
         (parking.airlineCodes << 24);
}

}  // namespace

std::uint32_t packIcao(std::string_view ident) {
  std::uint32_t value = 0;
  for (const char c : ident) {
    value = value * 38 + icaoDigit(c);
  }
  return value << 5;
}

std::uint32_t rawLatitude(double degrees) {
  return static_cast<std::uint32_t>(std::llround((90.0 - degrees) * 536870912.0 / 180.0));
}

std::uint32_t rawLongitude(double degrees) {
  return static_cast<std::uint32_t>(std::llround((degrees + 180.0) * 3.0 * 268435456.0 / 360.0));
}

std::string recordWithSize(std::uint16_t id, std::uint32_t sizeInBytes, std::string_view body) {
  std::string bytes;
  putU16(bytes, id);
  putU32(bytes, sizeInBytes);
  bytes += body;
  putZeros(bytes, (4 - bytes.size() % 4) % 4);
  return bytes;
}

std::string record(std::uint16_t id, std::string_view body) {
  const auto padded = (recordHeaderBytes + body.size() + 3) / 4 * 4;
  return recordWithSize(id, static_cast<std::uint32_t>(padded), body);
}

std::string helipadRecord(const Helipad& helipad) {
  std::string body;
  putZeros(body, 12 - recordHeaderBytes);
  putU32(body, rawLongitude(helipad.longitude));
  putU32(body, rawLatitude(helipad.latitude));
  putZeros(body, 8);
  putF32(body, helipad.width);
  return record(helipadId, body);
}

std::string parkingListRecord(const std::vector<Parking>& parkings) {
  std::string body;
  putU16(body, static_cast<std::uint16_t>(parkings.size()));
  for (const auto& parking : parkings) {
    putU32(body, parkingFlags(parking));
    putF32(body, parking.radius);
    putF32(body, parking.heading);
    putZeros(body, 16);
    putU32(body, rawLongitude(parking.longitude));
    putU32(body, rawLatitude(parking.latitude));
    putZeros(body, 20 + 4 * static_cast<std::size_t>(parking.airlineCodes));
  }
  return record(parkingListId, body);
}

std::string airportRecord(const Airport& airport) {
  std::string body;
  putZeros(body, 20 - recordHeaderBytes);
  putU32(body, static_cast<std::uint32_t>(airport.elevationMillimetres));
  putZeros(body, 40 - 24);
  putU32(body, packIcao(airport.ident));
  putZeros(body, airportHeaderBytes - 44);
  for (const auto& helipad : airport.helipads) {
    body += helipadRecord(helipad);
  }
  if (!airport.parkings.empty()) {
    body += parkingListRecord(airport.parkings);
  }
  body += airport.extraSubrecords;
  return record(airportId, body);
}

std::string bglFile(const std::vector<Section>& sections) {
  const auto sectionCount = static_cast<std::uint32_t>(sections.size());
  std::string bytes;
  putU32(bytes, fileMagic);
  putU32(bytes, fileHeaderBytes);
  putZeros(bytes, 12);
  putU32(bytes, sectionCount);
  putZeros(bytes, fileHeaderBytes - 24);
  const std::size_t firstSubsection = fileHeaderBytes + sectionHeaderBytes * sections.size();
  std::size_t records = firstSubsection + subsectionHeaderBytes * sections.size();
  std::string subsectionHeaders;
  for (std::size_t index = 0; index < sections.size(); ++index) {
    const auto& section = sections[index];
    putU32(bytes, section.type);
    putU32(bytes, section.sizeFlags);
    putU32(bytes, 1);
    putU32(bytes, static_cast<std::uint32_t>(firstSubsection + subsectionHeaderBytes * index));
    putU32(bytes, static_cast<std::uint32_t>(subsectionHeaderBytes + section.records.size()));
    putU32(subsectionHeaders, 0);
    putU32(subsectionHeaders, 1);
    putU32(subsectionHeaders, static_cast<std::uint32_t>(records));
    putU32(subsectionHeaders, static_cast<std::uint32_t>(section.records.size()));
    records += section.records.size();
  }
  bytes += subsectionHeaders;
  for (const auto& section : sections) {
    bytes += section.records;
  }
  return bytes;
}

std::string airportsFile(const std::vector<Airport>& airports) {
  Section section;
  for (const auto& airport : airports) {
    section.records += airportRecord(airport);
  }
  return bglFile({section});
}

}  // namespace cvl::bglgen

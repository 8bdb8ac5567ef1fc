#pragma once

#include <fmt/format.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "foundation/constants.h"
#include "program_folder.h"
#include "refdata/aircraft_database.h"

namespace cvl::test {

// The list sections every dbase.xml must fill, one type of each category, then the given sections.
inline std::string dbaseXml(std::string_view sections, bool withRoot = true) {
  const auto body = fmt::format(R"(
  <aircrafts><aircraft types="A320,A20N,A321,A319,B744,C172,C152,C25A,EC35,F16"/></aircrafts>
  <high_performance><hpf types="F16"/></high_performance>
  <heavy><hvy types="B744"/></heavy>
  <large><lar types="A320,A20N,A321,A319"/></large>
  <buzjet><bzj types="C25A"/></buzjet>
  <rotorcraft><rot types="EC35"/></rotorcraft>
  <cargo_types><cargo_type types="B744"/></cargo_types>
  <ICAO_airlines><ICAO codes="KLM,DLH"/></ICAO_airlines>
  <cargo_operators><ICAO codes="FDX"/></cargo_operators>
  <simaddons20><simaddon20 arpts="EHAM"/></simaddons20>
  {}
)",
                                sections);
  return withRoot ? "<root>" + body + "</root>" : body;
}

// Seals the text as input/dbase.enc and reads it.
inline bool readDbaseText(std::string_view xml) {
  gf_writeSealedDataFile(dbaseEncPath, xml);
  return gf_readDbase();
}

}  // namespace cvl::test

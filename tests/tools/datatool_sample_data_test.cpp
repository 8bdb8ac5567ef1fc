#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <vector>

#include "rtemu/recording.h"

namespace cvl {
namespace {

const std::filesystem::path sampleDir = DATATOOL_SAMPLE_DIR;

std::vector<std::string> commaPieces(std::string_view text) {
  std::vector<std::string> pieces;
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    std::string_view piece = text.substr(0, comma);
    while (!piece.empty() && piece.front() == ' ') {
      piece.remove_prefix(1);
    }
    pieces.emplace_back(piece);
    text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
  }
  return pieces;
}

pugi::xml_document loadSample(const char* name) {
  pugi::xml_document document;
  const pugi::xml_parse_result result = document.load_file((sampleDir / name).c_str());
  EXPECT_TRUE(result) << name << ": " << result.description();
  return document;
}

// Every piece of one attribute over the elements of a section; an empty piece would make the program match any text.
std::vector<std::string> sectionList(const pugi::xml_document& document, const char* section, const char* element,
                                     const char* attribute) {
  std::vector<std::string> values;
  for (const pugi::xml_node node : document.child("root").child(section).children(element)) {
    for (std::string& piece : commaPieces(node.attribute(attribute).as_string())) {
      EXPECT_FALSE(piece.empty()) << section << "/" << element << "/" << attribute;
      values.push_back(std::move(piece));
    }
  }
  return values;
}

class SampleDbase : public testing::Test {
 protected:
  pugi::xml_document dbase = loadSample("dbase.xml");
  std::vector<std::string> typeList = sectionList(dbase, "aircrafts", "aircraft", "types");
  std::set<std::string> knownTypes{typeList.begin(), typeList.end()};
};

TEST_F(SampleDbase, FillsEveryListSectionTheReaderRequires) {
  EXPECT_GE(knownTypes.size(), 150U);
  EXPECT_EQ(knownTypes.size(), typeList.size()) << "a type is listed twice";
  std::set<std::string> categorised;
  for (const auto& [section, element] : std::map<const char*, const char*>{
           {"high_performance", "hpf"}, {"heavy", "hvy"}, {"large", "lar"}, {"buzjet", "bzj"}, {"rotorcraft", "rot"}}) {
    const std::vector<std::string> types = sectionList(dbase, section, element, "types");
    EXPECT_FALSE(types.empty()) << section;
    for (const std::string& type : types) {
      EXPECT_TRUE(knownTypes.contains(type)) << section << " " << type;
      EXPECT_TRUE(categorised.insert(type).second) << type << " is in two categories";
    }
  }
  EXPECT_LT(categorised.size(), knownTypes.size()) << "no light types left";
  for (const std::string& type : sectionList(dbase, "cargo_types", "cargo_type", "types")) {
    EXPECT_TRUE(knownTypes.contains(type)) << type;
  }
  EXPECT_GE(sectionList(dbase, "ICAO_airlines", "ICAO", "codes").size(), 90U);
  EXPECT_FALSE(sectionList(dbase, "cargo_operators", "ICAO", "codes").empty());
  EXPECT_FALSE(sectionList(dbase, "simaddons20", "simaddon20", "arpts").empty());
}

TEST_F(SampleDbase, GivesEveryKnownTypeOneWingspanSoNoCategoryAverageIsEmpty) {
  std::set<std::string> withSpan;
  for (const pugi::xml_node wingspan : dbase.child("root").child("wingspans").children("wingspan")) {
    const std::string type = wingspan.attribute("type").as_string();
    EXPECT_TRUE(knownTypes.contains(type)) << type;
    EXPECT_TRUE(withSpan.insert(type).second) << type << " has two wingspans";
    EXPECT_GT(wingspan.attribute("meters").as_double(), 5.0) << type;
    EXPECT_LT(wingspan.attribute("meters").as_double(), 90.0) << type;
  }
  EXPECT_EQ(withSpan, knownTypes);
}

TEST_F(SampleDbase, NamesOnlyKnownTypesInFixesAndSimilarGroups) {
  std::set<std::string> wrongCodes;
  for (const pugi::xml_node fix : dbase.child("root").child("fixes").children("fx")) {
    EXPECT_TRUE(knownTypes.contains(fix.attribute("cor").as_string())) << fix.attribute("cor").as_string();
    EXPECT_TRUE(wrongCodes.insert(fix.attribute("wro").as_string()).second) << fix.attribute("wro").as_string();
  }
  const std::vector<std::string> grouped = sectionList(dbase, "similar_types", "similar", "types");
  EXPECT_FALSE(grouped.empty());
  for (const std::string& type : grouped) {
    EXPECT_TRUE(knownTypes.contains(type)) << type;
  }
  EXPECT_FALSE(sectionList(dbase, "publishers", "pub", "names").empty());
  EXPECT_FALSE(sectionList(dbase, "thirdparties20", "thirdpartie20", "arpts").empty());
  EXPECT_FALSE(sectionList(dbase, "thirdparties24", "thirdpartie24", "arpts").empty());
}

TEST_F(SampleDbase, HoldsThousandsOfUniqueRegistrationsOfKnownTypesAndAirlines) {
  const std::vector<std::string> airlineList = sectionList(dbase, "ICAO_airlines", "ICAO", "codes");
  const std::set<std::string> airlines{airlineList.begin(), airlineList.end()};
  std::set<std::string> registrations;
  std::size_t operated = 0;
  for (const pugi::xml_node record : dbase.child("root").child("dbase").children("db")) {
    const std::string reg = record.attribute("reg").as_string();
    const std::string airline = record.attribute("airl").as_string();
    // The program takes an operator as the aircraft's airline: a name there would match no livery.
    const std::string operatorCode = record.attribute("opr").as_string();
    EXPECT_FALSE(reg.empty());
    EXPECT_TRUE(registrations.insert(reg).second) << reg << " is listed twice";
    EXPECT_TRUE(knownTypes.contains(record.attribute("type").as_string())) << reg;
    EXPECT_TRUE(airline.empty() || airlines.contains(airline)) << reg << " " << airline;
    EXPECT_TRUE(operatorCode.empty() || (airlines.contains(operatorCode) && operatorCode != airline))
        << reg << " " << operatorCode;
    operated += operatorCode.empty() ? 0 : 1;
  }
  EXPECT_GE(registrations.size(), 2000U);
  EXPECT_GT(operated, 0U) << "no registration flown by an operator for its airline";
  // The lookup turns ABCDE into AB-CDE and A-BCDE: the sample holds both dash positions and undashed registrations.
  EXPECT_TRUE(registrations.contains("D-AIBS"));
  EXPECT_TRUE(registrations.contains("PH-BXA"));
  EXPECT_TRUE(std::ranges::any_of(registrations, [](const std::string& reg) { return reg.starts_with("JA"); }));
  EXPECT_TRUE(std::ranges::any_of(registrations, [](const std::string& reg) { return reg.size() <= 5; }));
}

// The demo learns a stand only for an aircraft whose registration has a record, and a later start places the learned
// aircraft as the record's type: every aircraft of the sample recording, in each round of its loop (which keeps the
// registrations), needs a record of the type it flies.
TEST_F(SampleDbase, HoldsEveryAircraftOfTheSampleRecordingAsItsType) {
  std::map<std::string, std::string> typeOfRegistration;
  for (const pugi::xml_node record : dbase.child("root").child("dbase").children("db")) {
    typeOfRegistration.emplace(record.attribute("reg").as_string(), record.attribute("type").as_string());
  }
  std::set<std::string> recorded;
  for (const rtemu::RecordedDatagram& datagram : rtemu::readRecording(RTEMU_SAMPLE_RECORDING)) {
    if (datagram.kind != rtemu::DatagramKind::traffic) {
      continue;
    }
    const std::vector<std::string> fields = commaPieces(datagram.payload);
    const std::string& registration = fields.at(11);
    const auto record = typeOfRegistration.find(registration);
    ASSERT_NE(record, typeOfRegistration.end()) << fields.at(9) << " " << registration << " has no record";
    EXPECT_EQ(record->second, fields.at(10)) << fields.at(9) << " " << registration;
    recorded.insert(registration);
  }
  EXPECT_GE(recorded.size(), 25U);
}

TEST(SampleAirports, ListHundredsOfAirportsWithEveryAttributeAndFrankfurtExactly) {
  const pugi::xml_document airports = loadSample("airports.xml");
  std::set<std::string> codes;
  for (const pugi::xml_node airport : airports.child("root").child("airports").children("airport")) {
    const std::string code = airport.attribute("code").as_string();
    EXPECT_EQ(code.size(), 4U) << code;
    EXPECT_TRUE(codes.insert(code).second) << code << " is listed twice";
    for (const char* attribute : {"iata", "lat", "lon", "alt", "stands"}) {
      EXPECT_TRUE(airport.attribute(attribute)) << code << " lacks " << attribute;
    }
    EXPECT_LE(std::abs(airport.attribute("lat").as_double()), 90.0) << code;
    EXPECT_LE(std::abs(airport.attribute("lon").as_double()), 180.0) << code;
    EXPECT_GE(airport.attribute("stands").as_int(-1), 0) << code;
  }
  EXPECT_GE(codes.size(), 300U);

  const pugi::xml_node frankfurt =
      airports.child("root").child("airports").find_child_by_attribute("airport", "code", "EDDF");
  ASSERT_TRUE(frankfurt);
  EXPECT_STREQ(frankfurt.attribute("iata").as_string(), "FRA");
  EXPECT_DOUBLE_EQ(frankfurt.attribute("lat").as_double(), 50.0333);
  EXPECT_DOUBLE_EQ(frankfurt.attribute("lon").as_double(), 8.5706);
  EXPECT_EQ(frankfurt.attribute("alt").as_int(), 364);
  EXPECT_GT(frankfurt.attribute("stands").as_int(), 0);
  for (const char* neighbour : {"EDFE", "ETOU", "EDFZ", "EDFM"}) {
    EXPECT_TRUE(codes.contains(neighbour)) << neighbour;
  }
}

class SampleRegcodes : public testing::Test {
 protected:
  pugi::xml_document dbase = loadSample("dbase.xml");
  std::set<std::string> registrations = [this] {
    std::set<std::string> regs;
    for (const pugi::xml_node record : dbase.child("root").child("dbase").children("db")) {
      regs.insert(record.attribute("reg").as_string());
    }
    return regs;
  }();
};

TEST_F(SampleRegcodes, CarryTheMetaHeaderAndRegistrationsOfTheDbase) {
  const pugi::xml_document regcodes = loadSample("AIG-regcodes.xml");
  std::map<std::string, std::string> meta;
  for (const pugi::xml_node info : regcodes.child("root").child("meta").children("info")) {
    meta.emplace(info.attribute("name").as_string(), info.attribute("value").as_string());
  }
  EXPECT_FALSE(meta["copyright"].empty());
  EXPECT_TRUE(meta.contains("sim") && meta.contains("MSFS"));

  std::string previousTitle;
  int liveries = 0;
  for (const pugi::xml_node livery : regcodes.child("root").child("AIG-regcodes").children("livery")) {
    const std::string title = livery.attribute("title").as_string();
    EXPECT_FALSE(title.empty());
    EXPECT_NE(title, previousTitle) << "the reader drops a repeated title";
    previousTitle = title;
    for (const std::string& reg : commaPieces(livery.attribute("reg").as_string())) {
      EXPECT_TRUE(registrations.contains(reg)) << title << ": " << reg;
    }
    ++liveries;
  }
  EXPECT_GE(liveries, 10);
}

TEST_F(SampleRegcodes, UserFileLinesHaveAtMostThreeFieldsAndValidRegistrations) {
  int lines = 0;
  for (const auto& entry : std::filesystem::directory_iterator(sampleDir / "my_regcodes")) {
    std::ifstream file(entry.path());
    for (std::string line; std::getline(file, line); ++lines) {
      const std::size_t firstSemicolon = line.find(';');
      if (firstSemicolon == std::string::npos) {
        continue;
      }
      std::string regs = line.substr(firstSemicolon + 1);
      const std::size_t secondSemicolon = regs.find(';');
      if (secondSemicolon != std::string::npos) {
        EXPECT_EQ(regs.substr(secondSemicolon), ";#") << line;
        regs.resize(secondSemicolon);
      }
      for (const std::string& reg : commaPieces(regs)) {
        EXPECT_GE(reg.size(), 3U) << line;
        EXPECT_LE(reg.size(), 12U) << line;
        EXPECT_TRUE(registrations.contains(reg)) << line;
      }
    }
  }
  EXPECT_GT(lines, 0);
}

}  // namespace
}  // namespace cvl

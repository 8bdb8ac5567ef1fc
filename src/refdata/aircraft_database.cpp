#include "refdata/aircraft_database.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gsl/narrow>
#include <gsl/util>
#include <iterator>
#include <pugixml.hpp>
#include <stdexcept>
#include <string_view>

#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "foundation/user_error.h"
#include "foundation/xml.h"
#include "refdata/data_file_check.h"
#include "refdata/dbase_queries.h"
#include "refdata/decryption.h"

namespace cvl {

CodeSet KnownTypes;
CodeSet HighPerfTypes;
CodeSet HeavyTypes;
CodeSet LargeTypes;
CodeSet BuzjetTypes;
CodeSet RotorcraftTypes;
CodeSet CargoTypes;
CodeSet CargoOperators;
CodeSet IcaoAirlines;
CodeSet SimAddonAirports;
std::vector<std::vector<std::string>> SimilarGroups;
std::vector<std::vector<std::string>> Publishers;
HalfWingspans HalfWingspanTable;
double maxHalfWingspan = 0.0;
std::unordered_map<std::string, std::string> TypeFixes;
std::vector<ThirdPartyEntry> ThirdParties20;
std::vector<ThirdPartyEntry> ThirdParties24;
std::unordered_map<std::string, DbaseRecord> RegistrationTable;
std::vector<std::string> ShortRegistrations;

namespace {

constexpr double metresToNauticalMiles = 0.0005399568034557236;
constexpr std::size_t longestShortRegistration = 5;

// A list section that must yield at least one value, and the set it fills.
struct ListSection {
  const char* section;
  const char* element;
  const char* attribute;
  CodeSet* codes;
};

void lf_clearTables() {
  for (auto* codes : {&KnownTypes, &HighPerfTypes, &HeavyTypes, &LargeTypes, &BuzjetTypes, &RotorcraftTypes,
                      &CargoTypes, &CargoOperators, &IcaoAirlines, &SimAddonAirports}) {
    codes->clear();
  }
  SimilarGroups.clear();
  Publishers.clear();
  HalfWingspanTable = {};
  maxHalfWingspan = 0.0;
  TypeFixes.clear();
  ThirdParties20.clear();
  ThirdParties24.clear();
  RegistrationTable.clear();
  ShortRegistrations.clear();
}

std::string lf_attribute(pugi::xml_node node, const char* name) {
  return node.attribute(name).as_string();
}

// The comma list's trimmed pieces without the empty ones (from ",," or a trailing comma): an empty code would count
// as a prefix or part of every text it is compared with.
std::vector<std::string> lf_nonEmptyPieces(std::string_view text) {
  auto pieces = gf_splitByComma(text);
  std::erase(pieces, std::string{});
  return pieces;
}

std::string lf_emptyAttributeMessage(std::string_view section, std::string_view element, std::string_view attribute) {
  return fmt::format("In XML file section [{}], element [{}], attribute [{}] is empty.", section, element, attribute);
}

void lf_readSectionAttribute(const pugi::xml_document& document, const ListSection& list, CodeSet& codes) {
  for (const auto node : gf_rootOrDocChild(document, list.section).children(list.element)) {
    for (auto& piece : lf_nonEmptyPieces(lf_attribute(node, list.attribute))) {
      codes.insert(std::move(piece));
    }
  }
  if (codes.empty()) {
    throw UserErrorException(61, lf_emptyAttributeMessage(list.section, list.element, list.attribute));
  }
}

// In the order the database has always been checked, so the first empty section is the one reported.
std::array<ListSection, 10> lf_listSections() {
  return {{
      {"aircrafts", "aircraft", "types", &KnownTypes},
      {"high_performance", "hpf", "types", &HighPerfTypes},
      {"heavy", "hvy", "types", &HeavyTypes},
      {"large", "lar", "types", &LargeTypes},
      {"buzjet", "bzj", "types", &BuzjetTypes},
      {"rotorcraft", "rot", "types", &RotorcraftTypes},
      {"cargo_types", "cargo_type", "types", &CargoTypes},
      {"ICAO_airlines", "ICAO", "codes", &IcaoAirlines},
      {"cargo_operators", "ICAO", "codes", &CargoOperators},
      {"simaddons20", "simaddon20", "arpts", &SimAddonAirports},
  }};
}

void lf_readListSections(const pugi::xml_document& document) {
  for (const auto& list : lf_listSections()) {
    lf_readSectionAttribute(document, list, *list.codes);
  }
}

// False (logged) when the plain file does not parse.
bool lf_loadDbase(const std::filesystem::path& plainPath, pugi::xml_document& document) {
  const auto loaded = document.load_file(plainPath.c_str());
  if (!loaded) {
    gf_logFlagged(fmt::format("'{}' not read because of {}", plainPath.string(), loaded.description()));
  }
  return static_cast<bool>(loaded);
}

void lf_readSimilarGroups(const pugi::xml_document& document) {
  SimilarGroups.reserve(64);
  for (const auto node : gf_rootOrDocChild(document, "similar_types").children("similar")) {
    auto group = lf_nonEmptyPieces(lf_attribute(node, "types"));
    std::sort(group.begin(), group.end());
    SimilarGroups.push_back(std::move(group));
  }
  SimilarGroups.shrink_to_fit();
}

// Each distinct names text once, in byte order; an entry without any name could never be reported, so it is skipped.
void lf_readPublishers(const pugi::xml_document& document) {
  std::vector<std::string> texts;
  for (const auto node : gf_rootOrDocChild(document, "publishers").children("pub")) {
    texts.push_back(lf_attribute(node, "names"));
  }
  std::sort(texts.begin(), texts.end());
  texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
  Publishers.reserve(640);
  for (const auto& text : texts) {
    auto names = lf_nonEmptyPieces(text);
    if (names.empty()) {
      gf_logFlagged(fmt::format("publisher names '{}' hold no name, skipped", text));
      continue;
    }
    names.shrink_to_fit();
    Publishers.push_back(std::move(names));
  }
  Publishers.shrink_to_fit();
  gf_log(fmt::format("{} publishers read", lf_publisherCount()));
}

// A category without any wingspan takes the average of all wingspans, so that no average is a division by zero.
void lf_setCategoryAverages() {
  const auto& byType = HalfWingspanTable.byType;
  std::array<double, 6> sums{};
  std::array<std::size_t, 6> counts{};
  double total = 0.0;
  for (const auto& [type, half] : byType) {
    const auto category = static_cast<std::size_t>(gf_aircraftCategory(type));
    sums.at(category) += half;
    ++counts.at(category);
    total += half;
  }
  const double overall = byType.empty() ? 0.0 : total / static_cast<double>(byType.size());
  for (std::size_t category = 0; category < sums.size(); ++category) {
    HalfWingspanTable.categoryAverage.at(category) =
        counts.at(category) == 0 ? overall : sums.at(category) / static_cast<double>(counts.at(category));
  }
}

void lf_readWingspans(const pugi::xml_document& document) {
  for (const auto node : gf_rootOrDocChild(document, "wingspans").children("wingspan")) {
    const auto type = lf_attribute(node, "type");
    if (!gf_isKnownType(type)) {
      gf_logFlagged(fmt::format("wingspan model {} is not valid, skipped", type));
      continue;
    }
    const double metres = node.attribute("meters").as_double();
    if (!std::isfinite(metres) || metres <= 0.0) {
      gf_logFlagged(fmt::format("wingspan '{}' of model {} is not valid, skipped", lf_attribute(node, "meters"), type));
      continue;
    }
    const double half = metres * 0.5 * metresToNauticalMiles;
    HalfWingspanTable.byType.emplace(type, half);
    maxHalfWingspan = std::max(maxHalfWingspan, half);
  }
  lf_setCategoryAverages();
}

void lf_readFixes(const pugi::xml_document& document) {
  for (const auto node : gf_rootOrDocChild(document, "fixes").children("fx")) {
    auto wrong = lf_attribute(node, wrongTypeAttribute.c_str());
    auto correct = lf_attribute(node, correctTypeAttribute.c_str());
    if (!gf_isKnownType(correct)) {
      gf_logFlagged(fmt::format("wrong fix {} -> {}, the latter is not valid", wrong, correct));
    } else if (wrong.empty()) {
      gf_logFlagged(fmt::format("wrong fix {} -> {}, the former is empty", wrong, correct));
    } else if (TypeFixes.contains(wrong)) {
      gf_logFlagged(fmt::format("wrong part of fix: '{}', already exists, skipped", wrong));
    } else {
      TypeFixes.emplace(std::move(wrong), std::move(correct));
    }
  }
}

void lf_readThirdParties(const pugi::xml_document& document, const char* section, std::vector<ThirdPartyEntry>& entries,
                         const char* element) {
  for (const auto node : gf_rootOrDocChild(document, section).children(element)) {
    entries.push_back({lf_attribute(node, "pub"), lf_nonEmptyPieces(lf_attribute(node, "arpts"))});
  }
}

void lf_readRegistrations(const pugi::xml_document& document) {
  const auto records = gf_rootOrDocChild(document, "dbase").children("db");
  RegistrationTable.reserve(gsl::narrow<std::size_t>(std::distance(records.begin(), records.end())));
  for (const auto node : records) {
    auto registration = lf_attribute(node, "reg");
    if (registration.empty()) {
      gf_logFlagged(fmt::format("dbase record without regcode ({} {}), skipped", lf_attribute(node, "airl"),
                                lf_attribute(node, "type")));
      continue;
    }
    DbaseRecord record{lf_attribute(node, "airl"), lf_attribute(node, "type"), lf_attribute(node, "opr"),
                       node.attribute("cargo").as_bool()};
    if (!RegistrationTable.try_emplace(registration, std::move(record)).second) {
      gf_logFlagged(fmt::format("regcode {} already exists", registration));
      continue;
    }
    if (registration.size() <= longestShortRegistration) {
      ShortRegistrations.push_back(std::move(registration));
    }
  }
}

}  // namespace

bool gf_readDbase() {
  lf_clearTables();
  if (const auto failure = gf_decryptForReading(dbaseEncPath, dbaseXmlPath)) {
    throw std::runtime_error(*failure);
  }
  const auto removePlainFile = gsl::finally([] { gf_removeFile(dbaseXmlPath); });
  pugi::xml_document document;
  if (!lf_loadDbase(dbaseXmlPath, document)) {
    return false;
  }
  lf_readListSections(document);
  lf_readSimilarGroups(document);
  lf_readPublishers(document);
  lf_readWingspans(document);
  lf_readFixes(document);
  ThirdParties20.reserve(600);
  lf_readThirdParties(document, "thirdparties20", ThirdParties20, "thirdpartie20");
  ThirdParties24.reserve(300);
  lf_readThirdParties(document, "thirdparties24", ThirdParties24, "thirdpartie24");
  lf_readRegistrations(document);
  gf_logAndFlush(fmt::format("{} dbase records read", RegistrationTable.size()));
  return true;
}

bool gf_dbaseXmlReadable(const std::filesystem::path& plainPath) {
  pugi::xml_document document;
  if (!lf_loadDbase(plainPath, document)) {
    return false;
  }
  for (const auto& list : lf_listSections()) {
    CodeSet values;
    lf_readSectionAttribute(document, list, values);
  }
  return true;
}

}  // namespace cvl

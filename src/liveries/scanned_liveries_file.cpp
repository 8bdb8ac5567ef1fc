#include "liveries/scanned_liveries_file.h"

#include <fmt/format.h>

#include <array>
#include <pugixml.hpp>
#include <system_error>

#include "app/sim_choice.h"
#include "foundation/constants.h"
#include "foundation/file_meta.h"
#include "foundation/log.h"
#include "foundation/user_error.h"
#include "foundation/xml.h"
#include "liveries/livery_data.h"

namespace cvl {
namespace {

constexpr std::array<const char*, 3> requiredAttributes{"airl", "type", "title"};

void lf_appendLivery(pugi::xml_node liveries, const LiveryData& livery) {
  auto element = liveries.append_child("liv");
  gf_appendAttribute(element, "airl", livery.airl);
  gf_appendAttribute(element, "type", livery.type);
  if (livery.cargo) {
    gf_appendBoolAttribute(element, "cargo", true);
  }
  gf_appendAttribute(element, "title", livery.title);
  if (!livery.atcid.empty()) {
    gf_appendAttribute(element, "atcid", livery.atcid);
  }
}

LiveryData lf_readLivery(pugi::xml_node element) {
  for (const char* name : requiredAttributes) {
    if (!element.attribute(name)) {
      throw UserErrorException(999, fmt::format("Missing required attribute '{}' in <{}>", name, element.name()));
    }
  }
  return {element.attribute("airl").value(),
          element.attribute("type").value(),
          element.attribute("title").value(),
          element.attribute("atcid").value(),
          0,
          element.attribute("cargo").as_bool(false)};
}

}  // namespace

std::optional<std::string> lf_writeScannedLiveries() {
  if (ScannedLiveries.empty()) {
    return std::nullopt;
  }
  pugi::xml_document document;
  FileMeta meta;
  meta.version = programVersion.toString();
  meta.setSim(currentSimType);
  gf_writeMeta(document, meta);
  auto root = document.child("root");
  if (!root) {
    return "no root element";
  }
  auto liveries = root.append_child("liveries");
  for (const auto& livery : ScannedLiveries) {
    lf_appendLivery(liveries, livery);
  }
  std::error_code failure;
  if (!gf_saveXmlFile(document, scannedLiveriesPath, failure)) {
    return failure.message();
  }
  gf_log(fmt::format("{} liveries in {}", ScannedLiveries.size(), scannedLiveriesPath.string()));
  return std::nullopt;
}

void gf_readScannedLiveries() {
  ScannedLiveries.clear();
  const auto pathText = scannedLiveriesPath.string();
  pugi::xml_document document;
  if (!document.load_file(scannedLiveriesPath.c_str())) {
    throw UserErrorException(51, fmt::format("File {} not found", pathText));
  }
  if (const auto root = document.child("root")) {
    const auto liveries = root.child("liveries");
    if (!liveries) {
      throw UserErrorException(52, fmt::format("{} does not contain a <liveries> section", pathText));
    }
    for (const auto element : liveries.children()) {
      if (element.type() == pugi::node_element) {
        ScannedLiveries.push_back(lf_readLivery(element));
      }
    }
  }
  ScannedLiveries.sort();
  if (ScannedLiveries.empty()) {
    throw UserErrorException(533, pathText + " does not contain liveries");
  }
  gf_log(fmt::format("{} liveries read from {}", ScannedLiveries.size(), pathText));
}

}  // namespace cvl

#include "foundation/file_meta.h"

#include <fmt/format.h>

#include <array>

#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/timekeeping.h"
#include "foundation/xml.h"

namespace cvl {
namespace {

constexpr std::string_view copyrightNotice =
    "Corvalen data file. Copyright the Corvalen authors; for use with Corvalen.";
constexpr std::string_view prepar3dVersion = "v56";

enum Entry { copyright, author, date, version, sim, p3d, msfs, entryCount };
constexpr std::array<std::string_view, entryCount> entryNames{"copyright", "author", "date", "version",
                                                              "sim",       "P3D",    "MSFS"};

// The field each entry with a text fills; the copyright notice is only checked, never kept.
constexpr std::array<std::string FileMeta::*, entryCount> textFields{
    nullptr, &FileMeta::author, &FileMeta::date, &FileMeta::version, nullptr, &FileMeta::p3dText, &FileMeta::msfsText};

std::optional<Entry> entryNamed(std::string_view name) {
  for (std::size_t index = 0; index < entryNames.size(); ++index) {
    if (entryNames[index] == name) {
      return static_cast<Entry>(index);
    }
  }
  return std::nullopt;
}

pugi::xml_node metaUnder(pugi::xml_node node) {
  const auto root = node.child("root");
  return root ? root.child("meta") : node.child("meta");
}

}  // namespace

void FileMeta::setSim(SimType simType) {
  sim = static_cast<std::uint32_t>(simType);
  if (simType == SimType::prepar3d) {
    p3dText = prepar3dVersion;
    msfsText.clear();
  } else {
    p3dText.clear();
    msfsText = simType == SimType::msfs2020 ? "2020" : "2024";
  }
}

bool lf_appendMetaInfo(pugi::xml_node meta, const char* name, std::string_view value) {
  auto info = meta.append_child("info");
  return info && gf_appendAttribute(info, nameAttribute.c_str(), name) &&
         gf_appendAttribute(info, valueAttribute.c_str(), value);
}

bool gf_writeMeta(pugi::xml_document& document, const FileMeta& meta) {
  auto root = document.child("root");
  if (!root) {
    root = document.append_child("root");
  }
  const auto metaNode = root ? root.append_child("meta") : pugi::xml_node{};
  if (!metaNode) {
    return false;
  }
  bool complete = lf_appendMetaInfo(metaNode, "author", programName);
  complete = lf_appendMetaInfo(metaNode, "version", meta.version) && complete;
  complete = lf_appendMetaInfo(metaNode, "date", gf_dateText()) && complete;
  complete = lf_appendMetaInfo(metaNode, "copyright", copyrightNotice) && complete;
  complete = lf_appendMetaInfo(metaNode, "sim", fmt::format("{}", meta.sim)) && complete;
  if (!meta.p3dText.empty()) {
    complete = lf_appendMetaInfo(metaNode, "P3D", prepar3dVersion) && complete;
  } else {
    complete = lf_appendMetaInfo(metaNode, "MSFS", meta.msfsText) && complete;
  }
  return complete;
}

std::optional<FileMeta> gf_readMeta(pugi::xml_node node, bool strict) {
  const auto metaNode = metaUnder(node);
  if (!metaNode.child("info")) {
    return std::nullopt;
  }
  FileMeta meta;
  std::array<bool, entryCount> found{};
  for (const auto info : metaNode.children("info")) {
    const auto entry = entryNamed(info.attribute(nameAttribute.c_str()).as_string());
    if (!entry || found[*entry]) {
      continue;
    }
    found[*entry] = true;
    const auto value = info.attribute(valueAttribute.c_str());
    if (*entry == copyright) {
      if (strict && *value.as_string() == '\0') {
        gf_logFlagged("no copyright info in the file?");
        return std::nullopt;
      }
    } else if (*entry == sim) {
      meta.sim = static_cast<std::uint32_t>(value.as_int());
    } else {
      meta.*textFields[*entry] = value.as_string();
    }
  }
  const bool simulatorNamed = found[sim] || found[p3d] || found[msfs];
  if (strict && !(found[copyright] && simulatorNamed)) {
    return std::nullopt;
  }
  return meta;
}

}  // namespace cvl

#pragma once

#include <cstdint>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>

// The meta header of the program's XML data files: root/meta with one info element (name, value) per entry.
namespace cvl {

enum class SimType : std::uint32_t { msfs2020 = 1, msfs2024 = 2, prepar3d = 3 };

// The "sim" of a header that has no "sim" entry.
inline constexpr std::uint32_t simNotGiven = 0xFFFFFFFF;

struct FileMeta {
  std::string author;
  std::string version;
  std::string date;
  std::string p3dText;
  std::string msfsText;
  std::uint32_t sim{simNotGiven};

  // Sets sim and the simulator's version text: "v56" for Prepar3D, else "2020" for MSFS 2020 and "2024" for any other.
  void setSim(SimType simType);
};

// Appends root (when missing) and a new meta with author, version, date (today), copyright, sim and then P3D or MSFS.
// True only when every element and attribute was added.
bool gf_writeMeta(pugi::xml_document& document, const FileMeta& meta);

// Reads the header under the node's "root" child, or under the node itself when it has none. Only the first entry of
// each name counts. Strict (the rule for every file the program takes in): present only with a non-empty "copyright"
// and at least one of "sim", "P3D" and "MSFS"; an empty copyright is logged. Lenient: present whenever the header has
// info entries.
std::optional<FileMeta> gf_readMeta(pugi::xml_node node, bool strict = true);

// Appends one info element with its name and value; false when the element or an attribute cannot be added.
bool lf_appendMetaInfo(pugi::xml_node meta, const char* name, std::string_view value);

}  // namespace cvl

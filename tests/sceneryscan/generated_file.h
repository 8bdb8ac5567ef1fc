#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "foundation/settings_file.h"

namespace cvl::test {

// A generated airport file as the tests look at it: its parameters and the attributes of each stand, in file order.
struct GeneratedFile {
  std::map<std::string, std::string> parameters;
  std::vector<std::map<std::string, std::string>> stands;

  std::vector<std::string> ids() const {
    std::vector<std::string> names;
    for (const auto& stand : stands) {
      names.push_back(stand.at("id"));
    }
    return names;
  }
};

inline std::optional<GeneratedFile> readGenerated(const std::filesystem::path& path) {
  pugi::xml_document document;
  if (!document.load_file(path.c_str())) {
    return std::nullopt;
  }
  GeneratedFile file;
  for (const auto parameter : document.child("root").child("parameters").children("parameter")) {
    file.parameters[parameter.attribute("name").value()] = parameter.attribute("value").value();
  }
  for (const auto stand : document.child("root").child("parkpositions").children("parkpos")) {
    auto& attributes = file.stands.emplace_back();
    for (const auto attribute : stand.attributes()) {
      attributes[attribute.name()] = attribute.value();
    }
  }
  return file;
}

}  // namespace cvl::test

#pragma once

#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <system_error>

// Helpers shared by the program's XML readers and writers.
namespace cvl {

// Gives the document an XML declaration with version "1.0" and encoding "UTF-8" and saves it as UTF-8 without
// byte-order mark, indented by two blanks. The file is written under a temporary name in the same folder and then
// renamed over the target, so a failed save leaves the previous file as it was. False when it cannot be written.
bool gf_saveXmlFile(pugi::xml_document& document, const std::filesystem::path& path);
// The same; when it cannot be written, `failure` holds the system's error.
bool gf_saveXmlFile(pugi::xml_document& document, const std::filesystem::path& path, std::error_code& failure);

// The child element with that name of the document's "root" element when there is one, else of the document itself;
// an empty node when there is none.
pugi::xml_node gf_rootOrDocChild(pugi::xml_node document, const char* name);

// The attribute's text; empty when the attribute is missing.
std::string gf_xmlAttributeString(pugi::xml_node node, const char* name);

// Append one attribute; false when it cannot be added. The bool is written as "true" or "false".
bool gf_appendAttribute(pugi::xml_node node, const char* name, std::string_view text);
bool gf_appendBoolAttribute(pugi::xml_node node, const char* name, bool value);

}  // namespace cvl

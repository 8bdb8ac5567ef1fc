#include "foundation/xml.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "foundation/files.h"

namespace cvl {
namespace {

void ensureDeclaration(pugi::xml_document& document) {
  auto declaration = document.first_child();
  while (declaration && declaration.type() != pugi::node_declaration) {
    declaration = declaration.next_sibling();
  }
  if (!declaration) {
    declaration = document.prepend_child(pugi::node_declaration);
  }
  // XML requires "version" to come first, so a missing one goes in front of whatever the declaration holds.
  if (!declaration.attribute("version")) {
    declaration.prepend_attribute("version");
  }
  if (!declaration.attribute("encoding")) {
    declaration.append_attribute("encoding");
  }
  declaration.attribute("version").set_value("1.0");
  declaration.attribute("encoding").set_value("UTF-8");
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The error of the call that just failed; a stream that failed without saying why counts as an input/output error.
std::error_code lastSystemError() {
  return {errno != 0 ? errno : EIO, std::system_category()};
}

// Writes the whole document and makes sure it reached the disk before the caller renames it into place.
bool writeDurably(const pugi::xml_document& document, const std::filesystem::path& path, std::error_code& failure) {
  std::unique_ptr<std::FILE, FileCloser> file{std::fopen(path.c_str(), "wb")};
  if (!file) {
    failure = lastSystemError();
    return false;
  }
  errno = 0;
  pugi::xml_writer_file writer(file.get());
  document.save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
  const bool written = std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0 && ::fsync(fileno(file.get())) == 0;
  if (!written) {
    failure = lastSystemError();
  }
  const bool closed = std::fclose(file.release()) == 0;
  if (written && !closed) {
    failure = lastSystemError();
  }
  return written && closed;
}

}  // namespace

bool gf_saveXmlFile(pugi::xml_document& document, const std::filesystem::path& path) {
  std::error_code ignored;
  return gf_saveXmlFile(document, path, ignored);
}

bool gf_saveXmlFile(pugi::xml_document& document, const std::filesystem::path& path, std::error_code& failure) {
  ensureDeclaration(document);
  const auto temporary = gf_temporaryPathBeside(path);
  std::error_code ignored;
  if (!writeDurably(document, temporary, failure)) {
    std::filesystem::remove(temporary, ignored);
    return false;
  }
  std::filesystem::rename(temporary, path, failure);
  if (failure) {
    std::filesystem::remove(temporary, ignored);
    return false;
  }
  return true;
}

pugi::xml_node gf_rootOrDocChild(pugi::xml_node document, const char* name) {
  const auto root = document.child("root");
  return root ? root.child(name) : document.child(name);
}

std::string gf_xmlAttributeString(pugi::xml_node node, const char* name) {
  return node.attribute(name).as_string();
}

bool gf_appendAttribute(pugi::xml_node node, const char* name, std::string_view text) {
  auto attribute = node.append_attribute(name);
  return attribute && attribute.set_value(std::string(text).c_str());
}

bool gf_appendBoolAttribute(pugi::xml_node node, const char* name, bool value) {
  auto attribute = node.append_attribute(name);
  return attribute && attribute.set_value(value);
}

}  // namespace cvl

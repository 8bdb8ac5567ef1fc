#include "foundation/xml.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace cvl {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

std::size_t entriesIn(const std::filesystem::path& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(SaveXmlFile, WritesDeclarationAndTwoBlankIndent) {
  TempFolder folder;
  pugi::xml_document document;
  document.append_child("root").append_child("parameters").append_child("parameter").append_attribute("name") = "ä";
  ASSERT_TRUE(gf_saveXmlFile(document, folder.path() / "parameters.xml"));
  EXPECT_EQ(readFile(folder.path() / "parameters.xml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<root>\n"
            "  <parameters>\n"
            "    <parameter name=\"ä\" />\n"
            "  </parameters>\n"
            "</root>\n");
  EXPECT_EQ(entriesIn(folder.path()), 1U) << "a temporary file was left behind";
}

TEST(SaveXmlFile, MendsAnExistingDeclaration) {
  TempFolder folder;
  pugi::xml_document document;
  auto declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.1";
  declaration.append_attribute("standalone") = "yes";
  document.append_child("root");
  ASSERT_TRUE(gf_saveXmlFile(document, folder.path() / "a.xml"));
  EXPECT_EQ(readFile(folder.path() / "a.xml"),
            "<?xml version=\"1.0\" standalone=\"yes\" encoding=\"UTF-8\"?>\n<root />\n");

  pugi::xml_document encodingOnly;
  encodingOnly.append_child(pugi::node_declaration).append_attribute("encoding") = "latin1";
  encodingOnly.append_child("root");
  ASSERT_TRUE(gf_saveXmlFile(encodingOnly, folder.path() / "b.xml"));
  EXPECT_EQ(readFile(folder.path() / "b.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root />\n");
}

TEST(SaveXmlFile, ReplacesTheOldFileWhole) {
  TempFolder folder;
  const auto path = folder.path() / "LiveriesScanned.xml";
  writeFile(path, "<root><old/><old/><old/></root>");
  pugi::xml_document document;
  document.append_child("root").append_child("new");
  ASSERT_TRUE(gf_saveXmlFile(document, path));
  EXPECT_EQ(readFile(path), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n  <new />\n</root>\n");
  EXPECT_EQ(entriesIn(folder.path()), 1U);
}

TEST(SaveXmlFile, FailureLeavesNoTrace) {
  TempFolder folder;
  pugi::xml_document document;
  document.append_child("root");
  EXPECT_FALSE(gf_saveXmlFile(document, folder.path() / "missing" / "a.xml"));
  // A folder in the way of the target is not replaced.
  std::filesystem::create_directory(folder.path() / "taken.xml");
  EXPECT_FALSE(gf_saveXmlFile(document, folder.path() / "taken.xml"));
  EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "taken.xml"));
  EXPECT_EQ(entriesIn(folder.path()), 1U);
}

TEST(RootOrDocChild, FindsTheSectionWithAndWithoutRoot) {
  pugi::xml_document withRoot;
  ASSERT_TRUE(withRoot.load_string("<root><parameters><p/></parameters></root>"));
  EXPECT_TRUE(gf_rootOrDocChild(withRoot, "parameters").child("p"));
  pugi::xml_document old;
  ASSERT_TRUE(old.load_string("<parameters><p/></parameters>"));
  EXPECT_TRUE(gf_rootOrDocChild(old, "parameters").child("p"));
  EXPECT_FALSE(gf_rootOrDocChild(old, "missing"));
  // With a root, a section outside it is not looked at.
  pugi::xml_document both;
  ASSERT_TRUE(both.load_string("<root/><parameters/>"));
  EXPECT_FALSE(gf_rootOrDocChild(both, "parameters"));
}

TEST(XmlAttributes, AppendAndReadText) {
  pugi::xml_document document;
  auto node = document.append_child("parkpos");
  EXPECT_TRUE(gf_appendAttribute(node, "name", "GATE A12"));
  EXPECT_TRUE(gf_appendBoolAttribute(node, "soft", true));
  EXPECT_TRUE(gf_appendBoolAttribute(node, "heavy", false));
  EXPECT_EQ(gf_xmlAttributeString(node, "name"), "GATE A12");
  EXPECT_EQ(gf_xmlAttributeString(node, "soft"), "true");
  EXPECT_EQ(gf_xmlAttributeString(node, "heavy"), "false");
  EXPECT_EQ(gf_xmlAttributeString(node, "missing"), "");
  EXPECT_FALSE(gf_appendAttribute(pugi::xml_node{}, "name", "x"));
}

}  // namespace
}  // namespace cvl

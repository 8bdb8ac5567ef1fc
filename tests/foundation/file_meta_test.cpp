#include "foundation/file_meta.h"

#include <gtest/gtest.h>

#include "foundation/open_log.h"
#include "foundation/timekeeping.h"

namespace cvl {
namespace {

using test::OpenLog;

FileMeta metaFor(SimType sim) {
  FileMeta meta;
  meta.setSim(sim);
  return meta;
}

// A document holding root/meta with the given info entries, written as name=value pairs.
pugi::xml_document headerWith(std::initializer_list<std::pair<const char*, const char*>> entries) {
  pugi::xml_document document;
  auto meta = document.append_child("root").append_child("meta");
  for (const auto& [name, value] : entries) {
    EXPECT_TRUE(lf_appendMetaInfo(meta, name, value));
  }
  return document;
}

TEST(FileMeta, SimulatorSetsItsVersionText) {
  EXPECT_EQ(metaFor(SimType::msfs2020).msfsText, "2020");
  EXPECT_EQ(metaFor(SimType::msfs2024).msfsText, "2024");
  EXPECT_EQ(metaFor(static_cast<SimType>(0)).msfsText, "2024");
  EXPECT_EQ(metaFor(static_cast<SimType>(0)).sim, 0U);
  const auto p3d = metaFor(SimType::prepar3d);
  EXPECT_EQ(p3d.p3dText, "v56");
  EXPECT_EQ(p3d.msfsText, "");
  EXPECT_EQ(p3d.sim, 3U);
  auto switched = metaFor(SimType::prepar3d);
  switched.setSim(SimType::msfs2020);
  EXPECT_EQ(switched.p3dText, "");
}

TEST(FileMeta, WrittenHeaderListsItsEntriesInOrder) {
  pugi::xml_document document;
  auto meta = metaFor(SimType::msfs2024);
  meta.version = "11.10.3";
  const auto today = gf_dateText();
  ASSERT_TRUE(gf_writeMeta(document, meta));
  std::vector<std::string> written;
  for (const auto info : document.child("root").child("meta").children()) {
    EXPECT_STREQ(info.name(), "info");
    EXPECT_STREQ(info.first_attribute().name(), "name");
    EXPECT_STREQ(info.last_attribute().name(), "value");
    written.push_back(std::string(info.attribute("name").value()) + "=" + info.attribute("value").value());
  }
  ASSERT_EQ(written.size(), 6U);
  EXPECT_EQ(written[0], "author=Corvalen");
  EXPECT_EQ(written[1], "version=11.10.3");
  EXPECT_TRUE(written[2] == "date=" + today || written[2] == "date=" + gf_dateText()) << written[2];
  EXPECT_TRUE(written[3].starts_with("copyright=") && written[3].size() > 10) << written[3];
  EXPECT_EQ(written[4], "sim=2");
  EXPECT_EQ(written[5], "MSFS=2024");

  const auto readBack = gf_readMeta(document);
  ASSERT_TRUE(readBack.has_value());
  EXPECT_EQ(readBack->version, "11.10.3");
  EXPECT_EQ(readBack->author, "Corvalen");
  EXPECT_EQ(readBack->sim, 2U);
  EXPECT_EQ(readBack->msfsText, "2024");
}

TEST(FileMeta, PrepareThreeDHeaderHasNoMsfsEntry) {
  pugi::xml_document document;
  document.append_child("root").append_child("airport");
  ASSERT_TRUE(gf_writeMeta(document, metaFor(SimType::prepar3d)));
  const auto meta = document.child("root").child("meta");
  EXPECT_STREQ(meta.last_child().attribute("name").value(), "P3D");
  EXPECT_STREQ(meta.last_child().attribute("value").value(), "v56");
  EXPECT_FALSE(meta.find_child_by_attribute("info", "name", "MSFS"));
  EXPECT_FALSE(document.child("root").next_sibling()) << "the existing root is used";
}

TEST(FileMeta, ReadsAHeaderWithOnlyCopyrightAndSim) {
  const auto document = headerWith({{"copyright", "c"}, {"sim", "1"}});
  const auto meta = gf_readMeta(document);
  ASSERT_TRUE(meta.has_value());
  EXPECT_EQ(meta->sim, 1U);
  EXPECT_EQ(meta->author, "");
  EXPECT_EQ(meta->date, "");
  EXPECT_EQ(meta->version, "");
}

TEST(FileMeta, RefusesHeadersWithoutCopyrightOrSimulator) {
  const OpenLog log;
  EXPECT_FALSE(gf_readMeta(headerWith({{"author", "a"}, {"sim", "1"}, {"MSFS", "2020"}})));
  EXPECT_FALSE(gf_readMeta(headerWith({{"copyright", "c"}, {"version", "1.0.0"}})));
  EXPECT_FALSE(gf_readMeta(headerWith({})));
  pugi::xml_document noHeader;
  noHeader.append_child("root");
  EXPECT_FALSE(gf_readMeta(noHeader));
  EXPECT_EQ(log.body(), "");

  EXPECT_FALSE(gf_readMeta(headerWith({{"author", "a"}, {"copyright", ""}, {"sim", "1"}, {"MSFS", "2020"}})));
  EXPECT_EQ(log.body(), "==> no copyright info in the file?\n");
}

TEST(FileMeta, FirstEntryOfEachNameCounts) {
  const auto document = headerWith({{"", "skipped"},
                                    {"copyright", "c"},
                                    {"version", "1.0.0"},
                                    {"version", "2.0.0"},
                                    {"copyright", ""},
                                    {"MSFS", "2020"}});
  const auto meta = gf_readMeta(document);
  ASSERT_TRUE(meta.has_value());
  EXPECT_EQ(meta->version, "1.0.0");
  EXPECT_EQ(meta->msfsText, "2020");
  EXPECT_EQ(meta->sim, simNotGiven);
}

TEST(FileMeta, SimWithoutNumberReadsAsZero) {
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string(
      R"(<meta><info name="copyright" value="c"/><info name="sim"/><info name="author" value="x"/></meta>)"));
  const auto meta = gf_readMeta(document);
  ASSERT_TRUE(meta.has_value()) << "a header at document level is read too";
  EXPECT_EQ(meta->sim, 0U);
  EXPECT_EQ(meta->author, "x");
}

TEST(FileMeta, LenientReadingNeedsOnlyEntries) {
  const OpenLog log;
  const auto meta = gf_readMeta(headerWith({{"copyright", ""}, {"version", "11.9.0"}}), false);
  ASSERT_TRUE(meta.has_value());
  EXPECT_EQ(meta->version, "11.9.0");
  EXPECT_FALSE(gf_readMeta(headerWith({}), false));
  EXPECT_EQ(log.body(), "");
}

}  // namespace
}  // namespace cvl

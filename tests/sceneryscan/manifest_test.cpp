#include <filesystem>

#include "scan_fixture.h"
#include "sceneryscan/manifests.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;

class ManifestTest : public SceneryScanTest {
 protected:
  static std::string manifest(std::string_view title, std::string_view manufacturer) {
    return fmt::format("{{\n  \"title\": \"{}\",\n  \"manufacturer\": \"{}\",\n  \"creator\": \"\"\n}}\n", title,
                       manufacturer);
  }
};

TEST_F(ManifestTest, ManifestTextsAreReadFromAJsonObjectOnly) {
  const auto info = lf_manifestFromJson(R"({"title": "EGLL London", "creator": "Big", "manufacturer": 7})");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->title, "EGLL London");
  EXPECT_EQ(info->creator, "Big");
  EXPECT_EQ(info->manufacturer, "");  // a number is no text

  EXPECT_FALSE(lf_manifestFromJson(R"(["title"])"));
  EXPECT_FALSE(lf_manifestFromJson(R"({"title": )"));
  EXPECT_FALSE(lf_manifestFromJson(""));
}

TEST_F(ManifestTest, AManifestFileWithAByteOrderMarkAndLinesIsRead) {
  put("pkg/manifest.json", "\xEF\xBB\xBF" + manifest("EGLL", "Big Airports Inc"));
  const auto info = lf_readManifest("pkg/manifest.json");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->manufacturer, "Big Airports Inc");
  EXPECT_FALSE(lf_readManifest("pkg/missing.json"));
}

TEST_F(ManifestTest, OnlyAFileNamedExactlyManifestJsonCounts) {
  put("pkg/Manifest.json", "{}");
  put("pkg/manifest.json.bak", "{}");
  EXPECT_EQ(lf_scanManifests("pkg"), fs::path{});
  EXPECT_EQ(lf_scanManifests("missing"), fs::path{});
  put("pkg/manifest.json", "{}");
  EXPECT_EQ(lf_scanManifests("pkg"), fs::path{"pkg/manifest.json"});
  EXPECT_EQ(lf_scanManifests("pkg/manifest.json"), fs::path{});  // a file is no folder
}

TEST_F(ManifestTest, OutsideCommunityTheNearestManifestAboveTheFileCounts) {
  put("Official/asobo-airport-egll/manifest.json", manifest("EGLL outer", ""));
  put("Official/asobo-airport-egll/scenery/manifest.json", "not json");
  put("Official/asobo-airport-egll/scenery/world/x.bgl", "");

  const auto info = gf_searchManifest("Official/asobo-airport-egll/scenery/world/x.bgl");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->title, "EGLL outer");  // the unreadable one nearer the file is passed over
  EXPECT_TRUE(scanLogHas("Official/asobo-airport-egll/scenery/manifest.json found"));
  EXPECT_TRUE(scanLogHas("Official/asobo-airport-egll/manifest.json found"));
}

TEST_F(ManifestTest, TheUpwardSearchEndsAtTheRoot) {
  EXPECT_FALSE(gf_searchManifest(folder() / "a" / "b" / "x.bgl"));
  EXPECT_FALSE(gf_searchManifest("x.bgl"));
}

TEST_F(ManifestTest, UnderCommunityThePackagesTopFolderHoldsTheManifest) {
  put("sim/Community/big-egll/manifest.json", manifest("EGLL Heathrow", "Big Airports Inc"));
  put("sim/Community/big-egll/scenery/global/x.bgl", "");
  put("sim/Community/big-egll/y.bgl", "");
  put("sim/Community/loose.bgl", "");

  ASSERT_TRUE(gf_searchManifest("sim/Community/big-egll/scenery/global/x.bgl"));
  EXPECT_EQ(gf_searchManifest("sim/Community/big-egll/y.bgl")->title, "EGLL Heathrow");
  EXPECT_FALSE(gf_searchManifest("sim/Community/loose.bgl"));
  // A package without a manifest is not searched above its folder.
  put("sim/manifest.json", manifest("wrong", ""));
  put("sim/Community/bare/scenery/x.bgl", "");
  EXPECT_FALSE(gf_searchManifest("sim/Community/bare/scenery/x.bgl"));
}

TEST_F(ManifestTest, AFolderThatCannotBeAskedIsAnErrorOfTheSearchAndGivesNothing) {
  fs::create_directories("pkg");
  const fs::path tooLong = fs::path{"pkg"} / std::string(300, 'n') / "x.bgl";  // no file system takes such a name
  EXPECT_FALSE(gf_searchManifest(tooLong));
  const auto lines = scanLog();
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_TRUE(lines.front().starts_with("exception in gf_searchManifest: ")) << lines.front();
}

}  // namespace
}  // namespace cvl::test

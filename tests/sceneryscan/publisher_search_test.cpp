#include "sceneryscan/publisher_search.h"

#include "scan_fixture.h"

namespace cvl::test {
namespace {

class PublisherSearchTest : public SceneryScanTest {};

TEST_F(PublisherSearchTest, TheSimulatorMakersPackagesAreSimaddonWithoutAManifest) {
  put("Community/Asobo-Airport-LFPG/manifest.json", R"({"manufacturer": "Big Airports Inc"})");

  const auto found = gf_searchPublisher("Community/Asobo-Airport-LFPG/scenery/x.bgl");

  EXPECT_EQ(found.publisher, "simaddon");
  EXPECT_EQ(found.manufacturer, "");
  EXPECT_TRUE(scanLogHas("\nTry to find publisher in: Community/Asobo-Airport-LFPG/scenery/x.bgl"));
  EXPECT_TRUE(scanLogHas("from filename => publisher simaddon"));
}

TEST_F(PublisherSearchTest, APublishersNameInThePathNamesIt) {
  const auto found = gf_searchPublisher("Community/northwind-sceneries-eddf/x.bgl");
  EXPECT_EQ(found.publisher, "Northwind Sceneries");
  EXPECT_TRUE(scanLogHas("publisher 'Northwind Sceneries' found"));
}

TEST_F(PublisherSearchTest, TheManufacturerNamesThePublisherWithoutRegardToCase) {
  put("Community/egll/manifest.json", R"({"manufacturer": "BIG AIRPORTS INC", "creator": "Skylark Studios"})");

  const auto found = gf_searchPublisher("Community/egll/x.bgl");

  EXPECT_EQ(found.publisher, "Big Airports Inc");
  EXPECT_EQ(found.manufacturer, "BIG AIRPORTS INC");
  EXPECT_EQ(found.creator, "Skylark Studios");
  EXPECT_TRUE(scanLogHas("from manifest.json: manufacturer 'BIG AIRPORTS INC' => publisher 'Big Airports Inc'"));
}

TEST_F(PublisherSearchTest, WithoutManufacturerTheCreatorIsAsked) {
  put("Community/egll/manifest.json", R"({"manufacturer": "", "creator": "someone at skylark-studios"})");
  EXPECT_EQ(gf_searchPublisher("Community/egll/x.bgl").publisher, "Skylark Studios");
  EXPECT_TRUE(scanLogHas("from manifest.json: creator 'someone at skylark-studios' => publisher 'Skylark Studios'"));

  put("Community/egll/manifest.json", R"({"manufacturer": "Unknown Maker", "creator": "Skylark Studios"})");
  EXPECT_EQ(gf_searchPublisher("Community/egll/x.bgl").publisher, "");
  EXPECT_TRUE(scanLogHas("from manifest.json: manufacturer 'Unknown Maker' => publisher ''"));
}

TEST_F(PublisherSearchTest, AManifestWithoutMakerOrNoManifestGivesNoPublisher) {
  put("Community/egll/manifest.json", R"({"title": "EGLL"})");
  EXPECT_EQ(gf_searchPublisher("Community/egll/x.bgl").publisher, "");
  EXPECT_TRUE(
      scanLogHas("no valid info found in manifest about publisher, manufacturer:'', creator:'' "
                 "Community/egll/x.bgl"));

  const auto none = gf_searchPublisher("Community/other/x.bgl");
  EXPECT_EQ(none.publisher, "");
  EXPECT_TRUE(scanLogHas("===> No publisher found"));
}

}  // namespace
}  // namespace cvl::test

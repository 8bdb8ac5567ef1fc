#include "liveries/mtl_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan_fixture.h"

namespace cvl {
namespace {

using test::liveryTexts;
using Texts = std::vector<std::string>;

const std::filesystem::path airplanes{"Community/IVAO_MTL/SimObjects/Airplanes"};

class IvaoReader : public test::LiveryScanTest {
 protected:
  // An aircraft.cfg in the model folder, beside texture folders of the given names.
  std::filesystem::path writeModel(const std::string& modelFolder, std::string_view text,
                                   const std::vector<std::string>& textures) const {
    for (const auto& texture : textures) {
      write(airplanes / modelFolder / ("texture." + texture) / "texture.cfg", "");
    }
    return write(airplanes / modelFolder / "aircraft.cfg", text);
  }
  std::string modelFolder(const std::string& name) const { return (folder() / airplanes / name).string(); }
};

TEST_F(IvaoReader, TheModelComesFromTheFolderName) {
  EXPECT_EQ(lf_modelFromIvaoPath(folder() / airplanes / "IVAO_B738" / "aircraft.cfg"), "B738");
  EXPECT_EQ(lf_modelFromIvaoPath("/x/ivao_x-csl/simobjects/airplanes/ivao_A20Nneo/AIRCRAFT.CFG"), "A20N");
  const auto boeing = folder() / airplanes / "Boeing" / "aircraft.cfg";
  EXPECT_EQ(lf_modelFromIvaoPath(boeing), "");
  EXPECT_EQ(lf_modelFromIvaoPath("/x/IVAO_MTL/SimObjects/Airplanes/IVAO_b738/aircraft.cfg"), "")
      << "the code keeps its case";
  EXPECT_EQ(InvalidModelCodes.lines(),
            (Texts{fmt::format("{:16} in {}", "  ", boeing.string()),
                   fmt::format("{:16} in /x/IVAO_MTL/SimObjects/Airplanes/IVAO_b738/aircraft.cfg", "b738")}));
}

TEST_F(IvaoReader, TheAirlineIsNamedInTheTitleRightAfterTheModel) {
  const auto path = writeModel("IVAO_A320", R"([fltsim.0]
title = A320 DLH Sample Lufthansa
texture = DLH
atc_parking_types = CARGO
[fltsim.1]
title = "  A320AUA Sample Austrian  "
atc_id = OE-LBN
[fltsim.2]
title = A320 QQQ Unknown Airline
[fltsim.3]
title = Sample Without Code
atc_id = D-AIDP
[fltsim.4]
title = Sample Without Anything
[fltsim.5]
title = Sample Unknown Registration
atc_id = D-XXXX
[fltsim.6]
title = A320 KLM Missing Texture
texture = KLM
)",
                               {"DLH", ""});
  EXPECT_EQ(liveryTexts(lf_searchLiveriesinIVAOFile(2, path)),
            (Texts{"DLH A320 'A320 DLH Sample Lufthansa'  2 pax", "AUA A320 'A320AUA Sample Austrian' OE-LBN 2 pax",
                   "DLH A320 'Sample Without Code' D-AIDP 2 pax"}));
  EXPECT_NE(log().find("removed spaces around title '  A320AUA Sample Austrian  ' --> 'A320AUA Sample Austrian'"),
            std::string::npos);
  EXPECT_EQ(InvalidAirlineCodes.lines(), (Texts{fmt::format("{:12} in {} [fltsim.2]", "QQQ", path.string())}));
  const auto model = modelFolder("IVAO_A320");
  EXPECT_EQ(IncompleteSections.lines(),
            (Texts{model + " [fltsim.4] misses airlinecode in title: Sample Without Anything, and no regcode",
                   model + " [fltsim.5] misses airlinecode in title: Sample Unknown Registration, and regcode "
                           "unknown D-XXXX",
                   model + "/texture.KLM [fltsim.6] does not exist"}));
}

TEST_F(IvaoReader, ATextureNameTheFileSystemRefusesCostsOnlyItsSection) {
  const std::string longName(300, 'T');
  const auto path = writeModel(
      "IVAO_A320",
      "[fltsim.0]\ntitle = A320 DLH Long\ntexture = " + longName + "\n[fltsim.1]\ntitle = A320 DLH Plain\n", {""});
  EXPECT_EQ(liveryTexts(lf_searchLiveriesinIVAOFile(1, path)), (Texts{"DLH A320 'A320 DLH Plain'  1 pax"}));
  EXPECT_EQ(IncompleteSections.lines(),
            (Texts{modelFolder("IVAO_A320") + "/texture." + longName + " [fltsim.0] does not exist"}));
}

TEST_F(IvaoReader, WingletModelsWriteAWAfterTheModelCode) {
  const std::string text = "[fltsim.0]\ntitle = B738W KLM Sample\n";
  EXPECT_EQ(liveryTexts(lf_searchLiveriesinIVAOFile(1, writeModel("IVAO_B738WLfa", text, {""}))),
            (Texts{"KLM B738 'B738W KLM Sample'  1 pax"}));
  EXPECT_EQ(liveryTexts(lf_searchLiveriesinIVAOFile(1, writeModel("IVAO_B738", text, {""}))), (Texts{}));
  EXPECT_EQ(IncompleteSections.lines(),
            (Texts{modelFolder("IVAO_B738") + " [fltsim.0] misses airlinecode in title: B738W KLM Sample, and no "
                                              "regcode"}));
}

TEST_F(IvaoReader, AnyBracketEndsASectionAndTitlesStayUnique) {
  const auto path = writeModel("IVAO_A320", R"([fltsim.0]
title = A320 DLH First
[fltsim.1]
title = A320 DLH First
[fltsim.2]
title = A320 DLH Second  x [y]
[fltsim.3]
title = A320 DLH Third
atc_id = D-AIDP;D-AIDQ
)",
                               {""});
  EXPECT_EQ(liveryTexts(lf_searchLiveriesinIVAOFile(1, path)),
            (Texts{"DLH A320 'A320 DLH First'  1 pax", "DLH A320 'A320 DLH Third'  1 pax"}));
  const auto model = modelFolder("IVAO_A320");
  EXPECT_EQ(IncompleteSections.lines(),
            (Texts{model + " [fltsim.1] title already exists: A320 DLH First", model + " [fltsim.2] misses title",
                   "invalid atc_id=D-AIDP;D-AIDQ in A320 DLH Third"}));
}

}  // namespace
}  // namespace cvl

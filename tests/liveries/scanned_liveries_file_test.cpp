#include "liveries/scanned_liveries_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/user_error.h"
#include "scan_fixture.h"

namespace cvl {
namespace {

using test::liveryTexts;
using test::readFile;
using Texts = std::vector<std::string>;

class ScannedLiveriesFile : public test::LiveryScanTest {
 protected:
  void writeLiveries(std::string_view liveries) const {
    write(scannedLiveriesPath,
          fmt::format("<root><meta><info name=\"author\" value=\"x\"/></meta>{}</root>", liveries));
  }
  // The code of the user error that reading throws, 0 when it throws none.
  static int readErrorCode(std::string* message = nullptr) {
    try {
      gf_readScannedLiveries();
    } catch (const UserErrorException& failure) {
      if (message != nullptr) {
        *message = failure.what();
      }
      return std::stoi(failure.what());
    }
    return 0;
  }
};

TEST_F(ScannedLiveriesFile, LiveriesComeBackSortedWithFolderZero) {
  ScannedLiveries = {{"KLM", "B738", "Sample KLM", "PH-BXA", 2, false},
                     {"DLH", "A320", "Sample Lufthansa & <Friends>", "", 1, false},
                     {"GEC", "B77L", "Sample Cargo", "D-ALFG", 3, true}};
  ASSERT_EQ(lf_writeScannedLiveries(), std::nullopt);
  const auto text = readFile(scannedLiveriesPath);
  EXPECT_TRUE(text.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n  <meta>")) << text;
  EXPECT_NE(text.find(R"(<liv airl="GEC" type="B77L" cargo="true" title="Sample Cargo" atcid="D-ALFG" />)"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find(R"(<liv airl="DLH" type="A320" title="Sample Lufthansa &amp; &lt;Friends>" />)"),
            std::string::npos)
      << text;
  EXPECT_NE(log().find("3 liveries in output/LiveriesScanned.xml\n"), std::string::npos);

  ScannedLiveries.clear();
  gf_readScannedLiveries();
  EXPECT_EQ(liveryTexts(ScannedLiveries),
            (Texts{"DLH A320 'Sample Lufthansa & <Friends>'  0 pax", "GEC B77L 'Sample Cargo' D-ALFG 0 cargo",
                   "KLM B738 'Sample KLM' PH-BXA 0 pax"}));
  EXPECT_NE(log().find("3 liveries read from output/LiveriesScanned.xml\n"), std::string::npos);
}

TEST_F(ScannedLiveriesFile, AnEmptyListLeavesThePreviousFile) {
  write(scannedLiveriesPath, "previous");
  lf_writeScannedLiveries();
  EXPECT_EQ(readFile(scannedLiveriesPath), "previous");
}

TEST_F(ScannedLiveriesFile, RecordsThatDifferOnlyInCargoStayInReadingOrder) {
  writeLiveries(R"(<liveries>
    <liv airl="DLH" type="A320" title="Same" cargo="yes"/>
    <liv airl="" type="A320" title="Empty Airline"/>
    <any airl="DLH" type="A320" title="Same"/>
    </liveries>)");
  gf_readScannedLiveries();
  EXPECT_EQ(liveryTexts(ScannedLiveries),
            (Texts{" A320 'Empty Airline'  0 pax", "DLH A320 'Same'  0 cargo", "DLH A320 'Same'  0 pax"}));
  EXPECT_FALSE(lf_liveryKeyEquals(*std::next(ScannedLiveries.begin()), ScannedLiveries.back()));
  EXPECT_TRUE(lf_liveryKeyEquals({"DLH", "A320", "T", "R", 1, false}, {"DLH", "A320", "T", "R", 7, false}));
}

TEST_F(ScannedLiveriesFile, BrokenFilesStopTheReadWithTheirCodes) {
  std::string message;
  EXPECT_EQ(readErrorCode(&message), 51);
  EXPECT_EQ(message, "51: File output/LiveriesScanned.xml not found");
  writeLiveries("");
  EXPECT_EQ(readErrorCode(&message), 52);
  EXPECT_EQ(message, "52: output/LiveriesScanned.xml does not contain a <liveries> section");
  writeLiveries("<liveries/>");
  EXPECT_EQ(readErrorCode(&message), 533);
  EXPECT_EQ(message, "533: output/LiveriesScanned.xml does not contain liveries");
  write(scannedLiveriesPath, "<liveries><liv airl=\"DLH\" type=\"A320\" title=\"T\"/></liveries>");
  EXPECT_EQ(readErrorCode(), 533) << "no root: no entries";
  writeLiveries(R"(<liveries><liv airl="DLH" type="A320" title="T"/><liv airl="DLH" type="A320"/></liveries>)");
  EXPECT_EQ(readErrorCode(&message), 999);
  EXPECT_EQ(message, "999: Missing required attribute 'title' in <liv>");
  EXPECT_EQ(ScannedLiveries.size(), 1U) << "what was read before stays";
}

}  // namespace
}  // namespace cvl

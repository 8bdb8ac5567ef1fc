#include "app/painting.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/status_line.h"
#include "foundation/throttled_log.h"
#include "main_window_fixture.h"
#include "simlink/user_aircraft.h"
#include "support/log_flood.h"
#include "trafficin/qnh_reader.h"
#include "trafficin/reader_control.h"

namespace cvl::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

using Painting = MainWindowTest;

ui::DrawCall text(int x, int y, std::string_view shown, ui::Colour colour) {
  return ui::DrawCall{ui::DrawKind::text, ui::Rect{x, y, x, y}, colour, std::string{shown}};
}

ui::DrawCall fill(const ui::Rect& rect, ui::Colour colour) {
  return ui::DrawCall{ui::DrawKind::fill, rect, colour, {}};
}

ui::DrawCall line(int x1, int y1, int x2, int y2, ui::Colour colour) {
  return ui::DrawCall{ui::DrawKind::line, ui::Rect{x1, y1, x2, y2}, colour, {}};
}

constexpr ui::Colour blue = ui::rgb(153, 204, 255);
constexpr ui::Colour white = ui::rgb(255, 255, 255);
const ui::Rect simulatorLamp{397, 30, 425, 112};
const ui::Rect realTrafficLamp{425, 30, 453, 112};

void setParkAirport() {
  mainWindow.parkAirportText = std::string{"EHAM Schiphol"};
  mainWindow.parkedFileOk = true;
  mainWindow.parkedFileText = std::string{"EHAM.xml"};
  mainWindow.airportFileText = std::string{"stock"};
  mainWindow.qualityText = std::string{"0.9/0.7"};
  mainWindow.learnedUpdates = 12;
  mainWindow.standCount = 211;
  mainWindow.liveParkedCount = 7;
}

TEST_F(Painting, BandsAndGridComeFirstThenTheTitle) {
  openMainWindow();
  const auto calls = paintAll();

  ASSERT_GE(calls.size(), 12U);
  EXPECT_THAT(
      std::vector(calls.begin(), calls.begin() + 12),
      ElementsAre(fill(rcTitle, black), fill(rcHeader, black), fill(rcStaticParking, black), fill(rcControls, blue),
                  fill(rcStatusLine, green), line(0, 28, 880, 28, white), line(0, 113, 880, 113, white),
                  line(0, 449, 880, 449, white), line(0, 392, 880, 392, white), text(3, 7, "Version 11.10.3", green),
                  text(390, 7, "Corvalen", green), text(632, 7, "Real traffic in your simulator", green)));
  EXPECT_THAT(std::vector(calls.begin() + 12, calls.begin() + 20),
              ElementsAre(line(0, 140, 880, 140, black), line(0, 168, 642, 168, black), line(0, 196, 642, 196, black),
                          line(0, 224, 642, 224, black), line(0, 252, 642, 252, black), line(0, 280, 642, 280, black),
                          line(0, 308, 880, 308, black), line(642, 140, 642, 308, black)));
}

TEST_F(Painting, BeforeTheSimulatorConnectsTheHeaderShowsMsfsARedAndADarkLamp) {
  openMainWindow();
  const auto calls = paintAll();

  EXPECT_EQ(textAt(calls, 5, 35), text(5, 35, "MSFS", green));
  EXPECT_EQ(fillOf(calls, simulatorLamp), red);
  EXPECT_EQ(fillOf(calls, realTrafficLamp), black);
  EXPECT_EQ(textAt(calls, 5, 91), text(5, 91, "# liveries: ...", red));
  EXPECT_EQ(textAt(calls, 141, 91), text(141, 91, "# simaddon: ...", yellow));
  EXPECT_EQ(textAt(calls, 278, 91), text(278, 91, "# thirdp: ...", yellow));
  EXPECT_FALSE(textAt(calls, 458, 35));
  EXPECT_THAT(textsIn(calls, rcStaticParking), IsEmpty());
}

TEST_F(Painting, TheSimulatorLampFollowsConnectionFlightAndTitle) {
  openMainWindow();
  mainWindow.simConnectLamp = true;
  mainWindow.simNameText = std::string{"KittyHawk"};
  EXPECT_EQ(fillOf(paintAll(), simulatorLamp), yellow) << "connected, no flight";

  mainWindow.simRunningLamp = true;
  mainWindow.userAcTitleText = std::string{"Cessna Skyhawk"};
  mainWindow.userStandText = std::string{"G12"};
  mainWindow.userTypeMark = false;
  mainWindow.liveryCount = 1250;
  const auto calls = paintAll();

  EXPECT_EQ(fillOf(calls, simulatorLamp), green);
  EXPECT_EQ(textAt(calls, 5, 35), text(5, 35, "KittyHawk, user stand G12", green));
  EXPECT_EQ(textAt(calls, 5, 63), text(5, 63, "Cessna Skyhawk", yellow)) << "unknown type marks the title";
  EXPECT_EQ(textAt(calls, 5, 91), text(5, 91, "# liveries: 1250", green));
}

TEST_F(Painting, TheRealTrafficLampAndItsReadings) {
  openMainWindow();
  mainWindow.rtLampDark = false;
  EXPECT_EQ(fillOf(paintAll(), realTrafficLamp), red) << "not connected";

  mainWindow.realTrafficLamp = true;
  mainWindow.rtEditionText = std::string{"Professional"};
  mainWindow.trafficLamp = 1;
  mainWindow.weatherLamp = 1;
  mainWindow.liveCount = 7;
  auto calls = paintAll();
  EXPECT_EQ(fillOf(calls, realTrafficLamp), green);
  EXPECT_EQ(textAt(calls, 458, 35), text(458, 35, "Professional", green));
  EXPECT_EQ(textAt(calls, 458, 63), text(458, 63, "Weather", green));
  EXPECT_EQ(textAt(calls, 458, 91), text(458, 91, "Traffic", green));
  EXPECT_FALSE(textAt(calls, 642, 63)) << "a qnh of 0 is not shown";
  EXPECT_EQ(textAt(calls, 642, 91), text(642, 91, "live:   7", green));

  mainWindow.qnh = 1013;
  mainWindow.trafficLamp = 2;
  mainWindow.weatherLamp = 3;
  calls = paintAll();
  EXPECT_EQ(fillOf(calls, realTrafficLamp), yellow);
  EXPECT_FALSE(textAt(calls, 458, 63)) << "a stopped weather reader";
  EXPECT_FALSE(textAt(calls, 642, 63));
  EXPECT_EQ(textAt(calls, 458, 91), text(458, 91, "Traffic", yellow));

  mainWindow.weatherLamp = 2;
  EXPECT_EQ(textAt(paintAll(), 642, 63), text(642, 63, "qnh: 1013", green));
}

TEST_F(Painting, ControlLabelsStandOnTheirSettingsRowsInTheirRuleColours) {
  openMainWindow();
  auto calls = paintAll();
  EXPECT_EQ(textAt(calls, 25, 147), text(25, 147, "Scan for liveries", yellow));
  EXPECT_EQ(textAt(calls, 768, 203), text(768, 203, "GUID changes", black));
  EXPECT_EQ(textAt(calls, 430, 231), text(430, 231, "Ah:", black));
  EXPECT_EQ(textAt(calls, 672, 315), text(672, 315, "Straight push backs only", grey));
  EXPECT_EQ(textAt(calls, 171, 315), text(171, 315, "Max park (static+live):", black));
  EXPECT_EQ(textsIn(calls, rcControls).size(), 41U);

  AUTO_RANGE.value = false;
  GUID_CHANGES.value = false;
  ui::enable(HELICOPTERS.hwnd, false);
  MAX_PARK_SEL.value = 0;
  staticParkingBusy = true;
  calls = paintAll();
  EXPECT_EQ(textAt(calls, 430, 231), text(430, 231, "Ah:", grey));
  EXPECT_EQ(textAt(calls, 536, 231), text(536, 231, "ft", grey));
  EXPECT_EQ(textAt(calls, 768, 203), text(768, 203, "GUID changes", yellow));
  EXPECT_EQ(textAt(calls, 450, 203), text(450, 203, "Helicopters", grey));
  EXPECT_EQ(textAt(calls, 343, 203), text(343, 203, "Light aircraft", black));
  EXPECT_EQ(textAt(calls, 5, 315), text(5, 315, "Airport parking", yellow));
  EXPECT_EQ(textAt(calls, 171, 315), text(171, 315, "Max park (static+live):", yellow));
  EXPECT_EQ(textAt(calls, 401, 315), text(401, 315, "Max live (park incl):", black));

  MAX_LIVE_SEL.value = 0;
  calls = paintAll();
  EXPECT_EQ(textAt(calls, 171, 315)->colour, red);
  EXPECT_EQ(textAt(calls, 401, 315)->colour, red);
}

TEST_F(Painting, MailRequestAndLookupResultShowOnlyWhenThereIsSomethingToShow) {
  openMainWindow();
  mainWindow.csOidText = std::string{"= 1a2b"};
  auto calls = paintAll();
  EXPECT_FALSE(textAt(calls, 323, 175));
  EXPECT_FALSE(textAt(calls, 476, 259)) << "no callsign chosen";

  tbloReady = 3;
  CALLSIGN_2_OBJECTID.value = std::string{"KLM1234"};
  calls = paintAll();
  EXPECT_EQ(textAt(calls, 323, 175), text(323, 175, "Mail tblo.zip to support@corvalen.example, pls", red));
  EXPECT_EQ(textAt(calls, 476, 259), text(476, 259, "= 1a2b", black));
}

TEST_F(Painting, TheParkingCountdownShowsOnlyWhileItMeansSomething) {
  openMainWindow();
  mainWindow.minutesToParkingUpdate = 7;
  EXPECT_FALSE(textAt(paintAll(), 5, 343)) << "no park airport";

  parkAirportActive = true;
  EXPECT_EQ(textAt(paintAll(), 5, 343), text(5, 343, "(next in 7 min)", black));
  mainWindow.minutesToParkingUpdate = 20;
  EXPECT_FALSE(textAt(paintAll(), 5, 343)) << "just after the Now button";
  INITIAL_LOAD_ONLY.value = true;
  EXPECT_EQ(textAt(paintAll(), 5, 343), text(5, 343, "(no next ... )", black));
  staticParkingBusy = true;
  EXPECT_FALSE(textAt(paintAll(), 5, 343)) << "while busy";
}

TEST_F(Painting, AParkAirportWhoseFileWasNotReadShowsOnlyItsTextInYellow) {
  openMainWindow();
  setParkAirport();
  mainWindow.parkedFileOk = false;

  EXPECT_THAT(textsIn(paintAll(), rcStaticParking), ElementsAre("EHAM Schiphol"));
  EXPECT_EQ(textAt(paintAll(), 5, 399)->colour, yellow);
}

TEST_F(Painting, WithoutAMaximumTheSecondLineShowsStandsAndParkedLiveOnly) {
  openMainWindow();
  setParkAirport();
  rtTrafficWeek = 23;
  mainWindow.handmadeMark = true;
  mainWindow.staticWeekMark = true;

  const auto calls = paintAll();

  EXPECT_THAT(textsIn(calls, rcStaticParking),
              ElementsAre("EHAM Schiphol", " EHAM.xml, stock (h), wk=23", "*W*", "qf: 0.9/0.7", "# updates:   12",
                          "# stands: 211", "parked live:   7", "no max park live"));
  EXPECT_EQ(textAt(calls, 708, 427)->colour, green);
}

TEST_F(Painting, WithAMaximumTheSecondLineShowsTheStaticCountsAndFits) {
  openMainWindow();
  setParkAirport();
  mainWindow.staticSoftMark = true;
  mainWindow.staticWeekMark = true;
  mainWindow.reservedStandName = std::string{"G3"};
  mainWindow.liveAverageFit = 2.5F;
  mainWindow.staticAverageFit = 4.0F;
  mainWindow.maxParkCount = 60;
  mainWindow.maxParkPercent = 30;
  mainWindow.staticParkedCount = 55;
  mainWindow.busyCount = 4;

  auto calls = paintAll();
  EXPECT_EQ(textAt(calls, 370, 399), text(370, 399, "*WS*", green));
  EXPECT_EQ(textAt(calls, 571, 399), text(571, 399, "reserved stand: G3", red));
  EXPECT_EQ(textAt(calls, 249, 427), text(249, 427, "average fit: 2.5", green));
  EXPECT_EQ(textAt(calls, 430, 427), text(430, 427, "static:  55", green));
  EXPECT_EQ(textAt(calls, 500, 427), text(500, 427, " (4)", yellow));
  EXPECT_FALSE(textAt(calls, 571, 427)) << "the week rule hides the static fit";
  EXPECT_EQ(textAt(calls, 708, 427), text(708, 427, "max park:  60 (=30 %)", green));

  mainWindow.staticWeekMark = false;
  mainWindow.reservedStandFound = true;
  mainWindow.busyCount = 0;
  calls = paintAll();
  EXPECT_EQ(textAt(calls, 370, 399)->text, "*S*");
  EXPECT_EQ(textAt(calls, 571, 399)->colour, green);
  EXPECT_FALSE(textAt(calls, 500, 427));
  EXPECT_EQ(textAt(calls, 571, 427), text(571, 427, "average fit: 4", green));
}

TEST_F(Painting, OutsideTextsThatAreNotUtf8ArePaintedWithReplacementsAndLoggedOnceHoweverOftenTheWindowRepaints) {
  // The user aircraft's title from the simulator and the stand id of an airport file hold bytes that are no UTF-8,
  // while 10,000 weather datagrams, each with a new QNH, repaint the window.
  openMainWindow();
  mainWindow.simConnectLamp = true;
  mainWindow.simNameText = std::string{"MSFS 2020"};
  mainWindow.userStandText = std::string{"V\xC3"};
  mainWindow.realTrafficLamp = true;
  mainWindow.weatherLamp = 1;
  lf_onUserAcTitle("Airbus A320 \xff\xfeNeo");
  const std::size_t before = logBody().size();
  for (int n = 0; n < 10'000; ++n) {
    const std::string datagram = fmt::format(R"({{"QNH":{}}})", 990 + n % 20);
    qnhReader.data = datagram.data();
    qnhReader.length = datagram.size();
    qnhReader.onDatagram();
    paintAll();
  }
  const std::string weather = R"({"QNH":1020})";
  qnhReader.data = weather.data();
  qnhReader.length = weather.size();
  qnhReader.onDatagram();
  const auto calls = paintAll();

  EXPECT_EQ(textAt(calls, 5, 35), text(5, 35, "MSFS 2020, user stand V\uFFFD", yellow));
  EXPECT_EQ(textAt(calls, 5, 63), text(5, 63, "Airbus A320 \uFFFD\uFFFDNeo", yellow));
  EXPECT_EQ(textAt(calls, 642, 63), text(642, 63, "qnh: 1020", green));
  const std::string log = logBody();
  EXPECT_TRUE(smallAndUtf8(std::string_view{log}.substr(before)));
  EXPECT_EQ(log.substr(before),
            "TextOut utf8  to wide failed for 'MSFS 2020, user stand V\\xc3': utf8_to_wide: invalid UTF-8\n");
  gf_restartLogLimits();  // the end of the run
  EXPECT_THAT(logBody(), testing::MatchesRegex(".*\nMain window: [0-9]+ more non-UTF-8 texts left out of the log\n"));
  gf_resetReaders();
}

TEST_F(Painting, TheAnnouncementCountsTheSecondsToTheNextBeat) {
  openMainWindow();
  tickSeconds = 30;
  lf_announceStaticParkingUpdate();
  EXPECT_EQ(gf_statusText(), "Corvalen will update static parking in 15 seconds ...");
  EXPECT_TRUE(staticUpdateRequested);
  EXPECT_TRUE(staticParkingBusy);
  EXPECT_FALSE(ui::isEnabled(MAX_PARK_SEL.hwnd));

  tickSeconds = 44;
  lf_announceStaticParkingUpdate();
  EXPECT_EQ(gf_statusText(), "Corvalen will update static parking in 1 second ...");
  EXPECT_THAT(logBody(), testing::Not(testing::HasSubstr("will update")));
}

TEST_F(Painting, TheLiveCountCountsActiveAircraftAndRepaintsOnlyOnAChange) {
  openMainWindow();
  addLiveAircraft("KLM1", AcState::active, AcPhase::flying);
  addLiveAircraft("KLM2", AcState::active, AcPhase::taxi);
  addLiveAircraft("KLM3", AcState::active, AcPhase::parked);
  addLiveAircraft("KLM4", AcState::adding2sim, AcPhase::birth);
  ui::pumpMessages();
  const auto paintsBefore = ui::paintRecords(mainWindow.hwnd).size();

  lf_updateLiveCount();
  ui::pumpMessages();
  EXPECT_EQ(mainWindow.liveCount, 2U);
  EXPECT_EQ(mainWindow.liveParkedCount, 1U);
  EXPECT_GT(ui::paintRecords(mainWindow.hwnd).size(), paintsBefore);

  const auto paintsAfter = ui::paintRecords(mainWindow.hwnd).size();
  lf_updateLiveCount();
  ui::pumpMessages();
  EXPECT_EQ(ui::paintRecords(mainWindow.hwnd).size(), paintsAfter);
}

}  // namespace
}  // namespace cvl::test

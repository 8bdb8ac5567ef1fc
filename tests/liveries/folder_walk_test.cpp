#include "liveries/folder_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "liveries/aircraft_cfg.h"
#include "liveries/dont_use_titles.h"
#include "liveries/livery_title_set.h"
#include "liveries/scan_task_throttle.h"
#include "scan_fixture.h"
#include "sceneryscan/scan_throttle.h"
#include "support/scan_tasks.h"

namespace cvl {
namespace {

using Texts = std::vector<std::string>;

class FolderWalk : public test::LiveryScanTest {
 protected:
  const std::filesystem::path walked{"walk"};

  // An aircraft.cfg of one livery with this title, in the folder below the walked one.
  void writeCfg(const std::filesystem::path& below, const std::string& title,
                const std::string& name = "aircraft.cfg") {
    write(walked / below / name,
          fmt::format("[General]\nicao_type_designator = A320\n[fltsim.0]\ntitle = {}\nicao_airline = KLM\n", title));
  }

  // The titles found by a walk of the folder, sorted (tasks end in any order within the throttle).
  static Texts walkTitles(const std::filesystem::path& folder) {
    ScannedLiveries.clear();
    lf_searchLiveriesinFolder(1, folder);
    Texts titles;
    for (const auto& livery : ScannedLiveries) {
      titles.push_back(livery.airl + " " + livery.title);
    }
    std::sort(titles.begin(), titles.end());
    return titles;
  }
};

TEST_F(FolderWalk, EveryFileNamedAircraftCfgInAnyCaseIsRead) {
  writeCfg("a", "Lower");
  writeCfg("b/deeper", "Upper", "AIRCRAFT.CFG");
  writeCfg("c", "Mixed", "Aircraft.Cfg");
  writeCfg("d", "Backup", "aircraft.cfg.bak");
  writeCfg("e", "Numbered", "aircraft1.cfg");
  EXPECT_EQ(walkTitles(walked), (Texts{"KLM Lower", "KLM Mixed", "KLM Upper"}));
  test::waitForScanTasks();
  EXPECT_EQ(scanSlotsInUse.load(), 0U);
}

TEST_F(FolderWalk, PackagesNamedWithASkipFragmentAreNotEntered) {
  writeCfg("airport-pack/sub", "Lower Fragment");
  writeCfg("Airport-pack/sub", "Other Case");
  writeCfg("x_CVT_y", "Converted");
  writeCfg("navigraph-nav", "Navigraph");
  EXPECT_EQ(walkTitles(walked), (Texts{"KLM Other Case"}));
  // The walked folder's own location does not count.
  writeCfg("my-airport-liveries/pkg", "Below A Fragment");
  EXPECT_EQ(walkTitles(walked / "my-airport-liveries"), (Texts{"KLM Below A Fragment"}));
}

TEST_F(FolderWalk, FoldersWithPathsOf250BytesAreNotEntered) {
  const auto base = (folder() / walked).string().size() + 1;
  ASSERT_LT(base, 200U);
  writeCfg(std::string(249 - base, 'a'), "Short Enough");
  writeCfg(std::string(250 - base, 'b'), "Too Long");
  EXPECT_EQ(walkTitles(folder() / walked), (Texts{"KLM Short Enough"}));
}

TEST_F(FolderWalk, TheIvaoMarkerWithItsCaseChoosesTheIvaoReader) {
  const std::string text =
      "[General]\nicao_type_designator = A320\n[fltsim.0]\ntitle = A320 DLH {}\nicao_airline = KLM\n";
  for (const char* package : {"IVAO_MTL", "ivao_mtl"}) {
    const auto model = walked / package / "SimObjects/Airplanes/IVAO_A320";
    write(model / "texture." / "texture.cfg", "");
    write(model / "aircraft.cfg", fmt::format(fmt::runtime(text), package));
  }
  EXPECT_EQ(walkTitles(walked), (Texts{"DLH A320 DLH IVAO_MTL", "KLM A320 DLH ivao_mtl"}));
}

TEST_F(FolderWalk, AStopRequestStartsNoFurtherTask) {
  writeCfg("a", "Never Read");
  stopRequested = true;
  EXPECT_EQ(walkTitles(walked), (Texts{}));
}

TEST_F(FolderWalk, NoMoreTasksRunAtOnceThanTheThrottleAllows) {
  hardwareThreads = 2;
  std::atomic<int> running{0};
  std::atomic<int> peak{0};
  std::atomic<bool> slotsExceeded{false};
  const LiveryReader reader = [&](std::uint32_t, const std::filesystem::path& path) {
    const int now = ++running;
    int seen = peak.load();
    while (seen < now && !peak.compare_exchange_weak(seen, now)) {
    }
    slotsExceeded = slotsExceeded || scanSlotsInUse.load() > 2;
    std::this_thread::sleep_for(std::chrono::milliseconds{2});
    --running;
    return LiveryList{{"KLM", "A320", path.string(), "", 1, false}};
  };
  PendingScanTasks pending;
  for (int task = 0; task < 12; ++task) {
    pending.start(reader, 1, std::to_string(task));
    if (pending.size() > 2) {
      pending.collectOldest();
    }
  }
  while (!pending.empty()) {
    pending.collectOldest();
  }
  EXPECT_LE(peak.load(), 2);
  EXPECT_FALSE(slotsExceeded.load());
  test::waitForScanTasks();
  EXPECT_EQ(scanSlotsInUse.load(), 0U);
  Texts titles;
  for (const auto& livery : ScannedLiveries) {
    titles.push_back(livery.title);
  }
  EXPECT_EQ(titles, (Texts{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"})) << "in the order started";
  hardwareThreads = 0;
  EXPECT_EQ(gf_maxTaskCount(), 1U) << "an unknown thread count still lets one task run";
}

TEST_F(FolderWalk, ATaskThatThrowsCostsOnlyItsOwnLiveries) {
  PendingScanTasks pending;
  pending.start([](std::uint32_t, const std::filesystem::path&) -> LiveryList { throw std::runtime_error("bad file"); },
                1, "x");
  pending.start(
      [](std::uint32_t, const std::filesystem::path&) {
        return LiveryList{{"KLM", "A320", "Good", "", 1, false}};
      },
      1, "y");
  try {
    pending.collectOldest();
    ADD_FAILURE() << "the task's exception reaches the walk";
  } catch (const std::runtime_error& failure) {
    EXPECT_STREQ(failure.what(), "bad file");
  }
  pending.collectOldest();
  EXPECT_TRUE(pending.empty());
  EXPECT_EQ(ScannedLiveries.size(), 1U);
  test::waitForScanTasks();
  EXPECT_EQ(scanSlotsInUse.load(), 0U);
}

TEST_F(FolderWalk, AReaderStillAtWorkHoldsNeitherTheNextScanNorItsLists) {
  const auto cfg = write(walked / "late" / "aircraft.cfg",
                         "[General]\nicao_type_designator = A320\n[fltsim.0]\ntitle = Not To Be Used\n"
                         "icao_airline = KLM\n[fltsim.1]\ntitle = Late Livery\nicao_airline = KLM\n"
                         "[fltsim.2]\ntitle = Late Livery\nicao_airline = KLM\n");
  DontUseTitles.insert("Not To Be Used");
  // A reader stuck in its read, as on a network drive that dropped, still at work when its scan has moved on.
  std::promise<void> release;
  PendingScanTasks pending;
  pending.start(
      [go = release.get_future().share()](std::uint32_t priority, const std::filesystem::path& path) {
        go.wait();
        return lf_searchLiveriesinFile(priority, path);
      },
      1, cfg);

  auto nextScan = std::async(std::launch::async, lf_clearScanReports);
  const bool clearedWhileReading = nextScan.wait_for(std::chrono::seconds{30}) == std::future_status::ready;
  EXPECT_TRUE(clearedWhileReading) << "the next scan waited for the stuck reader";
  EXPECT_TRUE(DontUseTitles.empty()) << "the next scan starts with its own titles";

  release.set_value();
  nextScan.get();
  pending.collectOldest();
  EXPECT_EQ(test::liveryTexts(ScannedLiveries), (Texts{"KLM A320 'Late Livery'  1 pax"}))
      << "the reader still knew its own scan's titles not to use";
  EXPECT_TRUE(IncompleteSections.empty()) << "its findings stay out of the next scan's reports";
  EXPECT_TRUE(lf_claimTitle("Late Livery")) << "the next scan takes its titles afresh";
}

TEST_F(FolderWalk, AStopEndsTheWaitsForStuckReadersAtOnce) {
  hardwareThreads = 1;
  std::promise<void> release;
  const auto stuck = [go = release.get_future().share()](std::uint32_t, const std::filesystem::path&) {
    go.wait();
    return LiveryList{{"KLM", "A320", "Stuck", "", 1, false}};
  };
  PendingScanTasks pending;
  pending.start(stuck, 1, "a");
  stopRequested = true;

  auto next = std::async(std::launch::async, [&pending, &stuck] {
    pending.start(stuck, 1, "b");  // every slot is taken by the stuck reader
    pending.collectOldest();
  });
  const bool ended = next.wait_for(std::chrono::seconds{30}) == std::future_status::ready;
  EXPECT_TRUE(ended) << "the stop waited for the stuck reader";
  release.set_value();
  EXPECT_NO_THROW(next.get());
  EXPECT_TRUE(pending.empty());
  EXPECT_TRUE(ScannedLiveries.empty()) << "a stopped scan takes nothing";
  EXPECT_EQ(log().find("timed out"), std::string::npos);
  test::waitForScanTasks();
}

}  // namespace
}  // namespace cvl

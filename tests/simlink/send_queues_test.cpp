#include "simlink/send_queues.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "app/status_line.h"
#include "link_fixture.h"
#include "simlink/ai_objects.h"
#include "simlink/client_events.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"
#include "simlink/sim_results.h"

namespace cvl::test {
namespace {

constexpr SIMCONNECT_DATA_INITPOSITION nearTheUser{50.0340, 8.5720, 364, 0, 0, 160, 1, 0};

class SendQueues : public LinkTest {
 protected:
  void SetUp() override {
    startEmulator();
    connect();
  }

  // An AI aircraft of the program's in the simulator; its object id.
  std::uint32_t created() {
    gf_queueCreateRequest({nearTheUser, "DLH4AB", "Airbus A320 Lufthansa", 4711000});
    frame();
    pump();
    return addedObjects.at(0);
  }

  // The positions the engine fills in a tick, handed over for the next frame.
  void positionsOfTick(std::initializer_list<PositionUpdate> positions) {
    const std::lock_guard lock{simConnectMutex};
    simSendQueues.fillPositions->assign(positions);
    simSendQueues.exchangePositions();
  }

  std::size_t objectCount() const { return emulator->state()["objects"].size(); }
};

TEST_F(SendQueues, PositionsGoOnlyToObjectsAboveTheUser) {
  const auto objectId = created();
  positionsOfTick({{50.05, 8.60, 0, 0, 0, 1500, 0, 180, objectId},
                   {10.0, 10.0, 0, 0, 0, 1500, 0, 180, 0},
                   {10.0, 10.0, 0, 0, 0, 1500, 0, 180, 1}});
  frame();
  const auto object = objectState(objectId);
  EXPECT_DOUBLE_EQ(object["lat"].get<double>(), 50.05);
  EXPECT_DOUBLE_EQ(object["alt"].get<double>(), 1500.0);
  EXPECT_DOUBLE_EQ(emulator->state()["user"]["lat"].get<double>(), 50.0333);
  EXPECT_TRUE(simSendQueues.sendPositions->empty());
}

TEST_F(SendQueues, FlapsChangesReleaseTheAircraftFromTheSimulatorsAi) {
  const auto objectId = created();
  EXPECT_FALSE(objectState(objectId)["released"]);
  simSendQueues.clientEvents.push_back({objectId, FLAPS_SET, 10240});
  frame();
  const auto object = objectState(objectId);
  EXPECT_TRUE(object["released"]);
  EXPECT_EQ(object["lastEvents"]["FLAPS_SET"], 10240);
}

TEST_F(SendQueues, AnEventTheSimulatorRefusesIsReportedAndTheRestStillSent) {
  const auto objectId = created();
  simSendQueues.clientEvents = {{objectId, 250, 1}, {objectId, GEAR_SET, 0}};
  frame();
  EXPECT_EQ(gf_statusText(), "SimConnect TransmitClientEvent: 250 fails");
  EXPECT_EQ(objectState(objectId)["lastEvents"]["GEAR_SET"], 0);
}

TEST_F(SendQueues, AFrameWhileTheEngineHoldsTheLockSendsNothingAndLosesNothing) {
  std::promise<void> locked;
  std::promise<void> release;
  std::thread engine{[&] {
    const std::lock_guard lock{simConnectMutex};
    locked.set_value();
    release.get_future().wait();
  }};
  locked.get_future().wait();
  simSendQueues.creations.push_back({nearTheUser, "DLH4AB", "Airbus A320 Lufthansa", 4711000});
  frame();
  pump();
  EXPECT_EQ(objectCount(), 0u);
  release.set_value();
  engine.join();

  frame();
  pump();
  EXPECT_EQ(objectCount(), 1u);
}

TEST_F(SendQueues, AfterAFailedCallEverythingQueuedIsDropped) {
  const auto objectId = created();
  simConnectFailed = true;
  gf_queueCreateRequest({nearTheUser, "DLH5CD", "Airbus A320 Lufthansa", 4711001});
  gf_queueRemoval(objectId);
  gf_engineStart(objectId);
  positionsOfTick({{50.05, 8.60, 0, 0, 0, 1500, 0, 180, objectId}});
  frame();
  simConnectFailed = false;
  frame();
  pump();
  EXPECT_EQ(objectCount(), 1u);
  EXPECT_FALSE(objectState(objectId)["lastEvents"].contains("ENGINE_AUTO_START"));
  EXPECT_DOUBLE_EQ(objectState(objectId)["lat"].get<double>(), nearTheUser.latitude);
}

using RunStart = LinkTest;

TEST_F(RunStart, KeepsWhatIsQueuedAndClearsTheFailure) {
  gf_queueRemoval(300);
  simConnectFailed = true;
  gf_resetSimConnectQueues();
  EXPECT_FALSE(simConnectFailed);
  EXPECT_EQ(simSendQueues.removals.size(), 1u);
  EXPECT_GE(simSendQueues.creations.capacity(), 256u);
  EXPECT_GE(pendingCreates.capacity(), 256u);

  gf_resetSimLinkState();
  EXPECT_TRUE(simSendQueues.removals.empty());
  EXPECT_EQ(simSendQueues.fillPositions, &simSendQueues.positions[0]);
}

}  // namespace
}  // namespace cvl::test

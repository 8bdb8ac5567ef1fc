#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>

#include "foundation/throttled_log.h"
#include "link_fixture.h"
#include "simlink/ai_objects.h"
#include "simlink/send_queues.h"
#include "simlink/sim_results.h"
#include "simlink/user_aircraft.h"
#include "support/log_flood.h"

namespace cvl::test {
namespace {

constexpr SIMCONNECT_DATA_INITPOSITION nearTheUser{50.0340, 8.5720, 364, 0, 0, 160, 1, 0};

// Another client of the simulator, such as a traffic add-on, on a connection of its own.
class OtherClient {
 public:
  OtherClient() { EXPECT_TRUE(SUCCEEDED(SimConnect_Open(&handle_, "Traffic add-on", nullptr, 0, nullptr, 0))); }
  OtherClient(const OtherClient&) = delete;
  OtherClient& operator=(const OtherClient&) = delete;
  ~OtherClient() { SimConnect_Close(handle_); }

  // The object id of the aircraft it created; 0 when the simulator refused it.
  std::uint32_t create(const std::string& tail) {
    assigned_ = 0;
    SimConnect_AICreateNonATCAircraft(handle_, "Airliner", tail.c_str(), nearTheUser, 1);
    SimConnect_CallDispatch(handle_, lf_takeAssigned, this);
    return assigned_;
  }
  void remove(std::uint32_t objectId) {
    SimConnect_AIRemoveObject(handle_, objectId, 2);
    SimConnect_CallDispatch(handle_, lf_takeAssigned, this);
  }

 private:
  static void lf_takeAssigned(SIMCONNECT_RECV* message, std::uint32_t, void* context) {
    if (message->dwID == SIMCONNECT_RECV_ID_ASSIGNED_OBJECT_ID) {
      static_cast<OtherClient*>(context)->assigned_ =
          static_cast<SIMCONNECT_RECV_ASSIGNED_OBJECT_ID*>(message)->dwObjectID;
    }
  }

  HANDLE handle_ = nullptr;
  std::uint32_t assigned_ = 0;
};

class OtherClients : public LinkTest {
 protected:
  void SetUp() override {
    startEmulator();
    connect();
    gf_requestUserAcPosition();
    pump();
  }
};

TEST_F(OtherClients, AnAddOnThatAddsAndRemovesAircraftByTheThousandLeavesTheLogSmallAndOurCreationsTaken) {
  const std::size_t before = logText().size();
  OtherClient addOn;
  // 10,000 aircraft of the add-on, each under its own callsign (some with bytes that are no UTF-8); every third it
  // removes at once, before the link's request for its data is answered, and of the others it keeps the newest 900.
  std::deque<std::uint32_t> kept;
  for (int n = 0; n < 10'000; ++n) {
    const std::uint32_t objectId = addOn.create(n % 7 == 0 ? fmt::format("AO\xff{}\n", n) : fmt::format("AO{}", n));
    ASSERT_NE(objectId, 0U) << n;
    if (n % 3 == 0) {
      addOn.remove(objectId);
    } else {
      kept.push_back(objectId);
    }
    if (kept.size() > 900) {
      addOn.remove(kept.front());
      kept.pop_front();
    }
    pump();
    gf_takeSimResults();
  }
  // Then it holds every object the simulator has room for, and each creation of the program's is refused.
  while (std::uint32_t objectId = addOn.create("AOFULL")) {
    kept.push_back(objectId);
    pump();
  }
  for (std::uint32_t hexid = 5'000'000; hexid < 5'000'200; ++hexid) {
    gf_queueCreateRequest({nearTheUser, fmt::format("DLH{}", hexid), "Airbus A320 Lufthansa", hexid});
    frame();
  }
  pump();
  EXPECT_TRUE(pendingCreates.empty());
  // The engine hears of each refusal, so that its aircraft waits for room.
  const auto refusals = gf_takeSimResults();
  EXPECT_EQ(std::count_if(refusals.begin(), refusals.end(),
                          [](const SimResult& each) { return each.kind == SimResultKind::createOverLimit; }),
            200);
  for (const std::uint32_t objectId : kept) {
    addOn.remove(objectId);
  }
  pump();
  gf_takeSimResults();

  gf_queueCreateRequest({nearTheUser, "DLH4AB", "Airbus A320 Lufthansa", 4711000});
  frame();
  pump();
  pump();  // the answer to the request for the new object's data
  const auto results = gf_takeSimResults();
  ASSERT_EQ(results.size(), 1U);
  EXPECT_EQ(results[0].kind, SimResultKind::liveCreated);
  EXPECT_EQ(results[0].hexid, 4711000U);

  gf_restartLogLimits();  // the end of the run
  const std::string log = logText();
  EXPECT_TRUE(smallAndUtf8(std::string_view{log}.substr(before)));
  for (const char* line : {"just spawned, but not by Corvalen", "SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID\n",
                           "SimConnect: too many objects (max 1000)\n", " more foreign spawns left out of the log\n",
                           " more UNRECOGNIZED_ID exceptions left out of the log\n",
                           " more too-many-objects refusals left out of the log\n"}) {
    EXPECT_NE(log.find(line, before), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace cvl::test

#include "simlink/dispatch.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

#include "app/closing_down.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/sim_choice.h"
#include "app/status_line.h"
#include "foundation/log.h"
#include "foundation/throttled_log.h"
#include "foundation/user_error.h"
#include "parking/user_stand.h"
#include "simlink/ai_objects.h"
#include "simlink/data_blocks.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"
#include "simlink/sim_results.h"
#include "simlink/user_aircraft.h"

namespace cvl {

std::atomic<float> frameRate{0.0F};
std::uint32_t frameCounter = 0;

namespace {

constexpr std::uint32_t framesPerRateRefresh = 30;
constexpr std::int32_t newFlightRestartDelay = 45;
constexpr std::uint32_t kindUnnamed27 = 27;

// The block of DEF_STATIC_CG.
struct StaticCg {
  double heightFt = 0.0;
  double pitchRadians = 0.0;
};

ThrottledLog& lf_unrecognizedIdLog() {
  static ThrottledLog log{"SimConnect", "UNRECOGNIZED_ID exception"};
  return log;
}

ThrottledLog& lf_tooManyObjectsLog() {
  static ThrottledLog log{"SimConnect", "too-many-objects refusal"};
  return log;
}

// The record of the message's kind, or null (and a log line) when the message is too short to hold it.
template <class Record>
const Record* lf_recordOf(const SIMCONNECT_RECV& message, std::uint32_t messageSize) {
  if (messageSize < sizeof(Record)) {
    gf_logFlagged(fmt::format("! SimConnect message dwID {} too short: {} bytes", message.dwID, messageSize));
    return nullptr;
  }
  return static_cast<const Record*>(&message);
}

// A flight loaded or a new flight file: the traffic of the old flight is of no use any more.
void lf_onNewFlight() {
  gf_watchUserStand();
  gf_requestExit(ExitReason::newFlight, newFlightRestartDelay);
}

void lf_onEvent(const SIMCONNECT_RECV_EVENT& event) {
  if (event.uEventID == EVT_SIM) {
    const bool running = event.dwData == 1;
    simRunning = running;
    mainWindow.simRunningLamp = running;
    gf_invalidateBand(rcHeader);
  } else if (event.uEventID == EVT_FLIGHT_LOADED) {
    gf_log("SimConnect: flight loaded event");
    lf_onNewFlight();
  }
}

void lf_onFileName() {
  gf_logFlagged("SimConnect: New file event");
  lf_onNewFlight();
}

// The simulator ends the connection. Nothing more will come: the program ends as well.
void lf_onQuit() {
  simRunning = false;
  gf_simNoLongerConnected();
}

void lf_onFrameEvent(const SIMCONNECT_RECV_EVENT_FRAME& frame) {
  lf_onFrame();
  if (++frameCounter >= framesPerRateRefresh) {
    frameCounter = 0;
    frameRate = frame.fFrameRate;
  }
}

void lf_onDataMessage(const SIMCONNECT_RECV& message, std::uint32_t messageSize) {
  if (const auto* data = lf_recordOf<SIMCONNECT_RECV_SIMOBJECT_DATA>(message, messageSize)) {
    lf_onSimObjectData(*data, lf_dataBlock(*data, messageSize));
  }
}

void lf_onDataByTypeMessage(const SIMCONNECT_RECV& message, std::uint32_t messageSize) {
  if (const auto* data = lf_recordOf<SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE>(message, messageSize)) {
    lf_onSimObjectDataByType(*data, lf_dataBlock(*data, messageSize));
  }
}

template <class Record, class Handler>
void lf_handle(const SIMCONNECT_RECV& message, std::uint32_t messageSize, Handler handler) {
  if (const auto* record = lf_recordOf<Record>(message, messageSize)) {
    handler(*record);
  }
}

bool lf_isSpace(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Letters, digits and the white space between them: the name as the simulator means it, whatever it carries besides
// (a line end, for one).
std::string lf_lettersDigitsAndSpaces(std::string_view name) {
  std::string kept;
  std::copy_if(name.begin(), name.end(), std::back_inserter(kept),
               [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || lf_isSpace(c); });
  const auto first = std::find_if_not(kept.begin(), kept.end(), lf_isSpace);
  const auto last = std::find_if_not(kept.rbegin(), kept.rend(), lf_isSpace).base();
  return first < last ? std::string(first, last) : std::string{};
}

std::string lf_simulatorName(std::string_view filteredName) {
  if (filteredName == "KittyHawk") {
    if (!msfs2020Mode) {
      throw UserErrorException(71, lf_wrongSimMessage());
    }
    return "MSFS 2020";
  }
  if (filteredName == "SunRise") {
    if (msfs2020Mode) {
      throw UserErrorException(71, lf_wrongSimMessage());
    }
    return "MSFS 2024";
  }
  throw UserErrorException(
      77, fmt::format("'{}' not being MSFS 2020 or MSFS 2024 connects ... ?", gf_excerpt(filteredName)));
}

}  // namespace

void lf_dispatch(SIMCONNECT_RECV* message, std::uint32_t messageSize, void* /*context*/) {
  if (message == nullptr || messageSize < sizeof(SIMCONNECT_RECV)) {
    return;
  }
  switch (message->dwID) {
    case SIMCONNECT_RECV_ID_EXCEPTION:
      lf_handle<SIMCONNECT_RECV_EXCEPTION>(*message, messageSize, lf_onException);
      break;
    case SIMCONNECT_RECV_ID_OPEN:
      lf_handle<SIMCONNECT_RECV_OPEN>(*message, messageSize, lf_onOpen);
      break;
    case SIMCONNECT_RECV_ID_QUIT:
      lf_onQuit();
      break;
    case SIMCONNECT_RECV_ID_EVENT:
      lf_handle<SIMCONNECT_RECV_EVENT>(*message, messageSize, lf_onEvent);
      break;
    case SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE:
      lf_handle<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>(*message, messageSize, lf_onObjectAddRemove);
      break;
    case SIMCONNECT_RECV_ID_EVENT_FILENAME:
      lf_onFileName();
      break;
    case SIMCONNECT_RECV_ID_EVENT_FRAME:
      lf_handle<SIMCONNECT_RECV_EVENT_FRAME>(*message, messageSize, lf_onFrameEvent);
      break;
    case SIMCONNECT_RECV_ID_SIMOBJECT_DATA:
      lf_onDataMessage(*message, messageSize);
      break;
    case SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE:
      lf_onDataByTypeMessage(*message, messageSize);
      break;
    case SIMCONNECT_RECV_ID_ASSIGNED_OBJECT_ID:
    case SIMCONNECT_RECV_ID_CLIENT_DATA:
    case kindUnnamed27:
      break;
    default:
      gf_log(fmt::format("! Unknown Dispatch dwID {}", message->dwID));
  }
}

void lf_onOpen(const SIMCONNECT_RECV_OPEN& message) {
  const std::string name{message.szApplicationName,
                         strnlen(message.szApplicationName, sizeof(message.szApplicationName))};
  if (name.empty()) {
    gf_log("! Simulator name empty?");
    return;
  }
  mainWindow.simConnectLamp = true;
  gf_invalidateBand(rcHeader);
  const std::string simulator = lf_simulatorName(lf_lettersDigitsAndSpaces(name));
  const std::string text =
      fmt::format("{} ({}.{}.{}.{})", simulator, message.dwApplicationVersionMajor, message.dwApplicationVersionMinor,
                  message.dwApplicationBuildMajor, message.dwApplicationBuildMinor);
  gf_log(fmt::format("{} connected", text));
  mainWindow.simNameText = text;
  gf_invalidateBand(rcHeader);
  gf_clearStatusLine();
}

std::string lf_wrongSimMessage() {
  return fmt::format("MSFS 20{} is running ..., switch Simulator, or select the right sim in the drop down list above",
                     msfs2020Mode ? "24" : "20");
}

void lf_onException(const SIMCONNECT_RECV_EXCEPTION& message) {
  switch (message.dwException) {
    case SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID:
      // Requests about objects that went away meanwhile are normal while the flight starts or ends, and whenever
      // another client removes an aircraft before the data asked for it came: they are counted rather than flagged.
      if (lf_userPositionKnown() && !gf_stopping() && lf_unrecognizedIdLog().admit()) {
        gf_log("SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID");
      }
      break;
    case SIMCONNECT_EXCEPTION_VERSION_MISMATCH:
      throw UserErrorException(95, fmt::format("SimConnect Version Mismatch, dwIndex: {}", message.dwIndex));
    case SIMCONNECT_EXCEPTION_TOO_MANY_OBJECTS:
      // While another client holds the simulator's objects, every creation of the program's fails so.
      lf_onCreateOverLimit(message.dwSendID);
      gf_setStatusLine("SimConnect: too many objects (max 1000)", lf_tooManyObjectsLog().admit());
      break;
    case SIMCONNECT_EXCEPTION_INVALID_DATA_SIZE:
      gf_log("SIMCONNECT_EXCEPTION_INVALID_DATA_SIZE");
      break;
    case SIMCONNECT_EXCEPTION_CREATE_OBJECT_FAILED:
      lf_onCreateRefused(message.dwSendID);
      break;
    case SIMCONNECT_EXCEPTION_LOAD_FLIGHTPLAN_FAILED:
      gf_logFlagged("SimConnect exception: load flight plan failed");
      break;
    case SIMCONNECT_EXCEPTION_OPERATION_INVALID_FOR_OBJECT_TYPE:
      gf_log("SIMCONNECT_EXCEPTION_OPERATION_INVALID_FOR_OBJECT_TYPE");
      break;
    default:
      gf_logFlagged(fmt::format("SIMCONNECT_EXCEPTION #{}", message.dwException));
  }
}

void lf_onSimObjectData(const SIMCONNECT_RECV_SIMOBJECT_DATA& message, std::span<const std::byte> block) {
  const std::uint32_t request = message.dwRequestID;
  switch (request) {
    case REQ_STATIC_CG:
      if (const auto cg = lf_blockAs<StaticCg>(block, request)) {
        gf_postSimResult({message.dwObjectID, 0, 0, SimResultKind::staticCg, cg->heightFt, cg->pitchRadians});
      }
      break;
    case REQ_USER_TITLE:
      lf_onUserAcTitle(lf_blockText(block));
      break;
    case REQ_USER_ATC_MODEL:
      if (const auto model = lf_blockAs<AtcModelText>(block, request)) {
        lf_onUserAcModel(lf_blockText(std::as_bytes(std::span{model->text})));
      }
      break;
    case REQ_USER_ON_GROUND:
      if (const auto onGround = lf_blockAs<std::int64_t>(block, request)) {
        lf_onUserOnGround(*onGround);
      }
      break;
    case REQ_ADDED_AIRCRAFT:
      lf_onAddedAircraftData(message.dwObjectID, block);
      break;
    case REQ_USER_POSITION:
      if (const auto position = lf_blockAs<UserAcData>(block, request)) {
        lf_onUserPosition(*position, message.dwObjectID);
      }
      break;
    default:
      break;
  }
}

}  // namespace cvl

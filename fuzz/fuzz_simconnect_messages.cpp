// Arbitrary bytes as they arrive on the simulator connection's socket: cut into frames, each decoded as a message of
// the simulator and as a request of a client, and every decoded message handed to the program's dispatch. Nothing may
// crash; a decoded record must hold the size it claims, a decoded request must encode back to the same bytes, and the
// dispatch may end only with the user errors it is made to raise.
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/exit_reasons.h"
#include "foundation/user_error.h"
#include "fuzz_support.h"
#include "simconnect/frame_stream.h"
#include "simconnect/protocol.h"
#include "simlink/ai_objects.h"
#include "simlink/dispatch.h"
#include "simlink/sim_results.h"

namespace {

using cvl::fuzz::check;

void checkMessage(const cvl::simconnect::ReceivedMessage& message) {
  const auto* record = message.record();
  check(message.size() >= sizeof(cvl::SIMCONNECT_RECV));
  if (record->dwID == cvl::SIMCONNECT_RECV_ID_SIMOBJECT_DATA ||
      record->dwID == cvl::SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE) {
    const auto* data = static_cast<const cvl::SIMCONNECT_RECV_SIMOBJECT_DATA*>(record);
    check(message.size() == cvl::SIMCONNECT_RECV_SIMOBJECT_DATA::blockOffset + data->dwDataSize);
  }
}

void dispatch(const cvl::simconnect::ReceivedMessage& message) {
  try {
    cvl::lf_dispatch(message.record(), message.size(), nullptr);
  } catch (const cvl::UserErrorException&) {
    // A wrong simulator, a version mismatch or a model that cannot be read: the SimClient thread shows it.
  }
}

void checkRequest(std::span<const std::byte> frame) {
  if (auto request = cvl::simconnect::decodeRequest(frame)) {
    const auto encoded = cvl::simconnect::encodeRequest(std::move(*request));
    check(std::equal(encoded.begin(), encoded.end(), frame.begin(), frame.end()));
  }
}

// What one input leaves behind must not pile up over the run.
void forgetLinkState() {
  cvl::gf_takeSimResults();
  cvl::gf_clearAiObjects();
  cvl::stopRequested = false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cvl::simconnect::FrameAssembler assembler;
  assembler.append(std::as_bytes(std::span{data, size}));
  while (auto frame = assembler.next()) {
    check(frame->size() <= cvl::simconnect::maxFrameBytes);
    if (auto message = cvl::simconnect::decodeMessage(*frame)) {
      checkMessage(*message);
      dispatch(*message);
    }
    checkRequest(*frame);
  }
  forgetLinkState();
  return 0;
}

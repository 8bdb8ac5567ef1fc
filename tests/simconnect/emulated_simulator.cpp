#include "emulated_simulator.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "simconnect/in_process.h"

namespace cvl::test {
namespace {

void collect(SIMCONNECT_RECV* message, std::uint32_t size, void* context) {
  const auto* first = reinterpret_cast<const std::byte*>(message);
  static_cast<std::vector<Message>*>(context)->push_back({{first, first + size}});
}

}  // namespace

std::vector<std::byte> Message::block() const {
  const auto data = record<SIMCONNECT_RECV_SIMOBJECT_DATA>();
  const auto first = bytes.begin() + SIMCONNECT_RECV_SIMOBJECT_DATA::blockOffset;
  return {first, first + data.dwDataSize};
}

std::vector<Message> dispatchAll(HANDLE handle) {
  std::vector<Message> messages;
  SimConnect_CallDispatch(handle, collect, &messages);
  return messages;
}

std::optional<Message> firstOf(const std::vector<Message>& messages, std::uint32_t kind) {
  const auto found =
      std::find_if(messages.begin(), messages.end(), [kind](const Message& m) { return m.kind() == kind; });
  return found != messages.end() ? std::optional(*found) : std::nullopt;
}

std::vector<Message> allOf(const std::vector<Message>& messages, std::uint32_t kind) {
  std::vector<Message> found;
  std::copy_if(messages.begin(), messages.end(), std::back_inserter(found),
               [kind](const Message& m) { return m.kind() == kind; });
  return found;
}

InProcessEmulator::InProcessEmulator(const simemu::EmulatorSettings& settings)
    : emulator_(std::make_shared<simemu::SimEmulator>(settings)) {
  simconnect::useInProcessSimulator(emulator_);
}

InProcessEmulator::~InProcessEmulator() {
  simconnect::useInProcessSimulator(nullptr);
}

Client::Client() {
  EXPECT_TRUE(SUCCEEDED(SimConnect_Open(&handle_, "Corvalen", nullptr, 0, nullptr, 0)));
}

Client::~Client() {
  if (handle_ != nullptr) {
    SimConnect_Close(handle_);
  }
}

std::uint32_t Client::lastPacketId() const {
  std::uint32_t packetId = 0;
  EXPECT_TRUE(SUCCEEDED(SimConnect_GetLastSentPacketID(handle_, &packetId)));
  return packetId;
}

}  // namespace cvl::test

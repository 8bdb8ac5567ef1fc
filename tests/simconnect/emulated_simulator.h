#pragma once

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "simconnect/simconnect.h"
#include "simemu/sim_emulator.h"
#include "support/emulator_settings.h"

namespace cvl::test {

// A copy of one message a client received.
struct Message {
  std::vector<std::byte> bytes;

  std::uint32_t kind() const { return record<SIMCONNECT_RECV>().dwID; }
  template <class Record>
  Record record() const {
    Record copy;
    std::memcpy(&copy, bytes.data(), std::min(sizeof(Record), bytes.size()));
    return copy;
  }
  // The data block of a SIMOBJECT_DATA message.
  std::vector<std::byte> block() const;
};

// Hands every waiting message of the connection to a list.
std::vector<Message> dispatchAll(HANDLE handle);
// The first message of a kind.
std::optional<Message> firstOf(const std::vector<Message>& messages, std::uint32_t kind);
std::vector<Message> allOf(const std::vector<Message>& messages, std::uint32_t kind);

// An emulator in the test's process, which SimConnect_Open connects to while the object lives.
class InProcessEmulator {
 public:
  explicit InProcessEmulator(const simemu::EmulatorSettings& settings = emulatorSettings());
  ~InProcessEmulator();
  InProcessEmulator(const InProcessEmulator&) = delete;
  InProcessEmulator& operator=(const InProcessEmulator&) = delete;

  simemu::SimEmulator& operator*() const { return *emulator_; }
  simemu::SimEmulator* operator->() const { return emulator_.get(); }

 private:
  std::shared_ptr<simemu::SimEmulator> emulator_;
};

// A connection opened on construction and closed on destruction.
class Client {
 public:
  Client();
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  HANDLE handle() const { return handle_; }
  std::vector<Message> dispatch() const { return dispatchAll(handle_); }
  std::uint32_t lastPacketId() const;

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace cvl::test

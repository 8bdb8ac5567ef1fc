#include "simconnect/client_session.h"

namespace cvl::simconnect {
namespace {

ReceivedMessage quitMessage() {
  return *decodeMessage(encodeMessage(SIMCONNECT_RECV_QUIT{}));
}

}  // namespace

HRESULT ClientSession::send(RequestBody body) {
  std::lock_guard lock(mutex_);
  return sendLocked(std::move(body));
}

HRESULT ClientSession::sendClientEvent(const ClientEventRequest& event) {
  std::lock_guard lock(mutex_);
  if (!mappedEvents_.contains(event.eventId)) {
    return E_FAIL;
  }
  return sendLocked(event);
}

HRESULT ClientSession::sendLocked(RequestBody body) {
  if (ended_) {
    return E_FAIL;
  }
  const auto* mapping = std::get_if<MapEventRequest>(&body);
  const auto mappedEvent = mapping != nullptr ? std::optional(mapping->eventId) : std::nullopt;
  const auto packetId = lastPacketId_ + 1;
  if (!transport_->send(encodeRequest({packetId, std::move(body)}))) {
    return E_FAIL;
  }
  lastPacketId_ = packetId;
  lastPacketIdOfThread_[std::this_thread::get_id()] = packetId;
  if (mappedEvent) {
    mappedEvents_.insert(*mappedEvent);
  }
  return S_OK;
}

std::optional<std::uint32_t> ClientSession::lastSentPacketId() {
  std::lock_guard lock(mutex_);
  if (auto ofThread = lastPacketIdOfThread_.find(std::this_thread::get_id()); ofThread != lastPacketIdOfThread_.end()) {
    return ofThread->second;
  }
  return lastPacketId_ > 0 ? std::optional(lastPacketId_) : std::nullopt;
}

HRESULT ClientSession::dispatch(DispatchProc handler, void* context) {
  const auto waiting = collectArrivals();
  for (std::size_t i = 0; i < waiting; ++i) {
    auto message = takeNext();
    if (!message) {
      break;
    }
    handler(message->record(), message->size(), context);
  }
  std::lock_guard lock(mutex_);
  return waiting > 0 || !ended_ ? S_OK : E_FAIL;
}

std::size_t ClientSession::collectArrivals() {
  std::lock_guard lock(mutex_);
  if (!ended_) {
    auto arrived = transport_->receive();
    for (const auto& frame : arrived.frames) {
      auto message = decodeMessage(frame);
      if (!message) {
        // A damaged stream cannot be trusted any further: the connection is over.
        arrived.ended = true;
        transport_->close();
        break;
      }
      quitReceived_ = quitReceived_ || message->record()->dwID == SIMCONNECT_RECV_ID_QUIT;
      pending_.push_back(std::move(*message));
    }
    if (arrived.ended) {
      ended_ = true;
      if (!quitReceived_) {
        pending_.push_back(quitMessage());
      }
    }
  }
  return pending_.size();
}

std::optional<ReceivedMessage> ClientSession::takeNext() {
  std::lock_guard lock(mutex_);
  if (pending_.empty()) {
    return std::nullopt;
  }
  auto message = std::move(pending_.front());
  pending_.pop_front();
  return message;
}

void ClientSession::close() {
  std::lock_guard lock(mutex_);
  if (!ended_) {
    sendLocked(CloseRequest{});
    ended_ = true;
  }
  transport_->close();
}

}  // namespace cvl::simconnect

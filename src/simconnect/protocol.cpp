#include "simconnect/protocol.h"

#include <cstring>
#include <new>
#include <type_traits>

namespace cvl::simconnect {
namespace {

template <class Fields>
void fields(SIMCONNECT_RECV&, Fields&) {}

template <class Fields>
void fields(SIMCONNECT_RECV_EXCEPTION& m, Fields& f) {
  f(m.dwException, m.dwSendID, m.dwIndex);
}

template <class Fields>
void fields(SIMCONNECT_RECV_OPEN& m, Fields& f) {
  f(m.szApplicationName, m.dwApplicationVersionMajor, m.dwApplicationVersionMinor, m.dwApplicationBuildMajor,
    m.dwApplicationBuildMinor);
}

template <class Fields>
void fields(SIMCONNECT_RECV_EVENT& m, Fields& f) {
  f(m.uGroupID, m.uEventID, m.dwData);
}

template <class Fields>
void fields(SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE& m, Fields& f) {
  fields(static_cast<SIMCONNECT_RECV_EVENT&>(m), f);
  f(m.eObjType);
}

template <class Fields>
void fields(SIMCONNECT_RECV_EVENT_FILENAME& m, Fields& f) {
  fields(static_cast<SIMCONNECT_RECV_EVENT&>(m), f);
  f(m.szFileName);
}

template <class Fields>
void fields(SIMCONNECT_RECV_EVENT_FRAME& m, Fields& f) {
  fields(static_cast<SIMCONNECT_RECV_EVENT&>(m), f);
  f(m.fFrameRate, m.fSimSpeed);
}

template <class Fields>
void fields(SIMCONNECT_RECV_ASSIGNED_OBJECT_ID& m, Fields& f) {
  f(m.dwRequestID, m.dwObjectID);
}

template <class Fields>
void fields(SIMCONNECT_RECV_SIMOBJECT_DATA& m, Fields& f) {
  f(m.dwRequestID, m.dwObjectID, m.dwDefineID, m.dwEntryNumber, m.dwOutOf);
}

template <class Record>
constexpr bool carriesBlock = std::is_base_of_v<SIMCONNECT_RECV_SIMOBJECT_DATA, Record>;

template <class Record>
Frame encodeRecord(std::uint32_t kind, Record record, std::span<const std::byte> block = {}) {
  Writer writer;
  writer(kind);
  fields(record, writer);
  if constexpr (carriesBlock<Record>) {
    writer(Frame(block.begin(), block.end()));
  }
  return writer.take();
}

template <class Record>
std::optional<ReceivedMessage> decodeRecord(std::uint32_t kind, Reader& reader) {
  Record record;
  fields(record, reader);
  Frame block;
  if constexpr (carriesBlock<Record>) {
    reader(block);
    record.dwDataSize = static_cast<std::uint32_t>(block.size());
  }
  if (!reader.ok() || !reader.atEnd()) {
    return std::nullopt;
  }
  record.dwSize = static_cast<std::uint32_t>(sizeof(Record) + block.size());
  record.dwVersion = protocolVersion;
  record.dwID = kind;
  auto storage = std::make_unique<std::byte[]>(record.dwSize);
  SIMCONNECT_RECV* placed = new (storage.get()) Record(record);
  if (!block.empty()) {
    std::memcpy(storage.get() + sizeof(Record), block.data(), block.size());
  }
  return ReceivedMessage(std::move(storage), placed);
}

template <std::size_t Index = 0>
std::optional<RequestBody> decodeBody(std::uint32_t kind, Reader& reader) {
  if constexpr (Index < std::variant_size_v<RequestBody>) {
    if (kind == Index + 1) {
      std::variant_alternative_t<Index, RequestBody> body;
      body.fields(reader);
      return body;
    }
    return decodeBody<Index + 1>(kind, reader);
  } else {
    return std::nullopt;
  }
}

}  // namespace

Frame encodeRequest(Request request) {
  Writer writer;
  writer(static_cast<std::uint32_t>(request.body.index() + 1), request.packetId);
  std::visit([&writer](auto& body) { body.fields(writer); }, request.body);
  return writer.take();
}

std::optional<Request> decodeRequest(std::span<const std::byte> frame) {
  Reader reader(frame);
  std::uint32_t kind = 0;
  Request request;
  reader(kind, request.packetId);
  auto body = decodeBody(kind, reader);
  if (!body || !reader.ok() || !reader.atEnd()) {
    return std::nullopt;
  }
  request.body = std::move(*body);
  return request;
}

Frame encodeMessage(const SIMCONNECT_RECV_EXCEPTION& message) {
  return encodeRecord(SIMCONNECT_RECV_ID_EXCEPTION, message);
}
Frame encodeMessage(const SIMCONNECT_RECV_OPEN& message) {
  return encodeRecord(SIMCONNECT_RECV_ID_OPEN, message);
}
Frame encodeMessage(const SIMCONNECT_RECV_QUIT& message) {
  return encodeRecord(SIMCONNECT_RECV_ID_QUIT, SIMCONNECT_RECV(message));
}
Frame encodeMessage(const SIMCONNECT_RECV_EVENT& message) {
  return encodeRecord(SIMCONNECT_RECV_ID_EVENT, message);
}
Frame encodeMessage(const SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE& message) {
  return encodeRecord(SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE, message);
}
Frame encodeMessage(const SIMCONNECT_RECV_EVENT_FILENAME& message) {
  return encodeRecord(SIMCONNECT_RECV_ID_EVENT_FILENAME, message);
}
Frame encodeMessage(const SIMCONNECT_RECV_EVENT_FRAME& message) {
  return encodeRecord(SIMCONNECT_RECV_ID_EVENT_FRAME, message);
}
Frame encodeMessage(const SIMCONNECT_RECV_ASSIGNED_OBJECT_ID& message) {
  return encodeRecord(SIMCONNECT_RECV_ID_ASSIGNED_OBJECT_ID, message);
}
Frame encodeMessage(const SIMCONNECT_RECV_SIMOBJECT_DATA& message, std::span<const std::byte> block) {
  return encodeRecord(SIMCONNECT_RECV_ID_SIMOBJECT_DATA, message, block);
}
Frame encodeMessage(const SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE& message, std::span<const std::byte> block) {
  return encodeRecord(SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE, message, block);
}
Frame encodeBareMessage(std::uint32_t kind) {
  return encodeRecord(kind, SIMCONNECT_RECV{});
}

std::optional<ReceivedMessage> decodeMessage(std::span<const std::byte> frame) {
  Reader reader(frame);
  std::uint32_t kind = 0;
  reader(kind);
  if (!reader.ok()) {
    return std::nullopt;
  }
  switch (kind) {
    case SIMCONNECT_RECV_ID_EXCEPTION:
      return decodeRecord<SIMCONNECT_RECV_EXCEPTION>(kind, reader);
    case SIMCONNECT_RECV_ID_OPEN:
      return decodeRecord<SIMCONNECT_RECV_OPEN>(kind, reader);
    case SIMCONNECT_RECV_ID_QUIT:
      return decodeRecord<SIMCONNECT_RECV_QUIT>(kind, reader);
    case SIMCONNECT_RECV_ID_EVENT:
      return decodeRecord<SIMCONNECT_RECV_EVENT>(kind, reader);
    case SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE:
      return decodeRecord<SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE>(kind, reader);
    case SIMCONNECT_RECV_ID_EVENT_FILENAME:
      return decodeRecord<SIMCONNECT_RECV_EVENT_FILENAME>(kind, reader);
    case SIMCONNECT_RECV_ID_EVENT_FRAME:
      return decodeRecord<SIMCONNECT_RECV_EVENT_FRAME>(kind, reader);
    case SIMCONNECT_RECV_ID_SIMOBJECT_DATA:
      return decodeRecord<SIMCONNECT_RECV_SIMOBJECT_DATA>(kind, reader);
    case SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE:
      return decodeRecord<SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE>(kind, reader);
    case SIMCONNECT_RECV_ID_ASSIGNED_OBJECT_ID:
      return decodeRecord<SIMCONNECT_RECV_ASSIGNED_OBJECT_ID>(kind, reader);
    default:
      return decodeRecord<SIMCONNECT_RECV>(kind, reader);
  }
}

}  // namespace cvl::simconnect

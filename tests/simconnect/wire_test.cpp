#include <gtest/gtest.h>

#include "simconnect/frame_stream.h"
#include "simconnect/protocol.h"

namespace cvl::test {
namespace {

using namespace simconnect;

TEST(Wire, RequestsSurviveTheRoundTrip) {
  const CreateAircraftRequest create{"Airbus A320 Sample", "CVL77", {50.1, 8.6, 364, 1, 2, 270, 1, 0}, 104};
  const auto decoded = decodeRequest(encodeRequest({41, create}));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->packetId, 41u);
  const auto& body = std::get<CreateAircraftRequest>(decoded->body);
  EXPECT_EQ(body.title, create.title);
  EXPECT_EQ(body.tailNumber, create.tailNumber);
  EXPECT_DOUBLE_EQ(body.position.heading, 270);
  EXPECT_EQ(body.position.onGround, 1u);
  EXPECT_EQ(body.requestId, 104u);
}

// Frames come from another process: any cut or garbled frame must be refused, never read past its end.
TEST(Wire, CutOrGarbledFramesAreRefused) {
  const auto request = encodeRequest({7, SetDataRequest{402, 300, 0, Frame(64, std::byte{0x5a})}});
  for (std::size_t size = 0; size < request.size(); ++size) {
    EXPECT_FALSE(decodeRequest(std::span(request).first(size))) << size;
  }
  auto unknownKind = request;
  unknownKind[0] = std::byte{0x7f};
  EXPECT_FALSE(decodeRequest(unknownKind));
  auto trailing = request;
  trailing.push_back(std::byte{0});
  EXPECT_FALSE(decodeRequest(trailing));

  SIMCONNECT_RECV_SIMOBJECT_DATA data;
  data.dwRequestID = 108;
  const auto message = encodeMessage(data, Frame(8, std::byte{1}));
  for (std::size_t size = 0; size < message.size(); ++size) {
    EXPECT_FALSE(decodeMessage(std::span(message).first(size))) << size;
  }
  auto hugeBlock = message;
  hugeBlock[hugeBlock.size() - 9] = std::byte{0xff};  // the block's length, now beyond any frame
  EXPECT_FALSE(decodeMessage(hugeBlock));
}

TEST(Wire, AnOverlongApplicationNameIsCutToItsField) {
  Writer writer;
  writer(static_cast<std::uint32_t>(SIMCONNECT_RECV_ID_OPEN), std::string(300, 'K'), 1u, 2u, 3u, 4u);
  const auto decoded = decodeMessage(writer.take());
  ASSERT_TRUE(decoded);
  const auto* open = static_cast<const SIMCONNECT_RECV_OPEN*>(decoded->record());
  EXPECT_EQ(std::string(open->szApplicationName), std::string(255, 'K'));
  EXPECT_EQ(open->dwApplicationBuildMinor, 4u);
}

TEST(Wire, TheStreamIsCutIntoFramesWhereverItsBytesBreak) {
  const Frame first{std::byte{1}, std::byte{2}, std::byte{3}};
  const Frame second{};
  Frame stream;
  for (const auto& frame : {first, second}) {
    const auto size = static_cast<std::uint32_t>(frame.size());
    for (int i = 0; i < 4; ++i) {
      stream.push_back(static_cast<std::byte>((size >> (8 * i)) & 0xff));
    }
    stream.insert(stream.end(), frame.begin(), frame.end());
  }

  FrameAssembler assembler;
  std::vector<Frame> frames;
  for (const auto byte : stream) {
    assembler.append(std::span(&byte, 1));
    while (auto frame = assembler.next()) {
      frames.push_back(*frame);
    }
  }
  EXPECT_EQ(frames, (std::vector<Frame>{first, second}));

  FrameAssembler damaged;
  const Frame oversized{std::byte{0xff}, std::byte{0xff}, std::byte{0xff}, std::byte{0x7f}};
  damaged.append(oversized);
  EXPECT_FALSE(damaged.next());
  EXPECT_TRUE(damaged.damaged());
}

}  // namespace
}  // namespace cvl::test

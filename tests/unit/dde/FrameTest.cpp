#include "platform/dde/Frame.h"

#include <gtest/gtest.h>

namespace dde {
namespace {

Frame MustDecode(const std::string& bytes) {
  Frame f;
  std::size_t used = 0;
  EXPECT_EQ(Decode(bytes, kDefaultMaxFrameSize, &f, &used), DecodeStatus::kOk);
  EXPECT_EQ(used, bytes.size());
  return f;
}

DecodeStatus StatusOf(const std::string& bytes, std::size_t limit = kDefaultMaxFrameSize) {
  Frame f;
  std::size_t used = 0;
  return Decode(bytes, limit, &f, &used);
}

TEST(Frame, EveryTypeRoundTrips) {
  const std::string binary("a\0b\r\n\xFF", 6);
  const std::vector<Frame> frames = {
      {FrameType::kConnect, {"KEP", "System"}},
      {FrameType::kAccept, {}},
      {FrameType::kRefuse, {"no"}},
      {FrameType::kRequest, {""}},
      {FrameType::kExecute, {binary}},
      {FrameType::kPoke, {"P|F|1", binary}},
      {FrameType::kReply, {std::string(70000, 'x')}},
      {FrameType::kAck, {}},
      {FrameType::kClose, {}},
      {FrameType::kTimeout, {"5000"}},
      {FrameType::kRequests, {"KEP", "R", std::string("a\0b\0", 4)}}};
  for (const auto& f : frames) EXPECT_EQ(MustDecode(Encode(f)), f);
}

TEST(Frame, WireLayoutIsBigEndianLengthTypeAndFields) {
  EXPECT_EQ(Encode(Frame{FrameType::kRequest, {"AB"}}), std::string("\0\0\0\7\4\0\0\0\2AB", 11));
}

TEST(Frame, DecodesOneFrameAtATimeFromAStream) {
  const std::string stream = Encode({FrameType::kAck, {}}) + Encode({FrameType::kReply, {"x"}});
  Frame f;
  std::size_t used = 0;
  ASSERT_EQ(Decode(stream, 100, &f, &used), DecodeStatus::kOk);
  EXPECT_EQ(f.type, FrameType::kAck);
  ASSERT_EQ(Decode(stream.substr(used), 100, &f, &used), DecodeStatus::kOk);
  EXPECT_EQ(f, (Frame{FrameType::kReply, {"x"}}));
}

TEST(Frame, EveryTruncationNeedsMore) {
  const std::string full = Encode({FrameType::kPoke, {"item", "data"}});
  for (std::size_t n = 0; n < full.size(); ++n) {
    EXPECT_EQ(StatusOf(full.substr(0, n)), DecodeStatus::kNeedMore) << n;
  }
}

TEST(Frame, MalformedBodiesAreRejected) {
  // empty body
  EXPECT_EQ(StatusOf(std::string("\0\0\0\0", 4)), DecodeStatus::kMalformed);
  // unknown type
  EXPECT_EQ(StatusOf(std::string("\0\0\0\1\x63", 5)), DecodeStatus::kMalformed);
  // a reply without its field
  EXPECT_EQ(StatusOf(std::string("\0\0\0\1\7", 5)), DecodeStatus::kMalformed);
  // field length runs past the body
  EXPECT_EQ(StatusOf(std::string("\0\0\0\6\7\0\0\0\5x", 10)), DecodeStatus::kMalformed);
  // trailing bytes after the last field
  EXPECT_EQ(StatusOf(std::string("\0\0\0\2\x08Z", 6)), DecodeStatus::kMalformed);
  // an ack carrying a field
  EXPECT_EQ(StatusOf(std::string("\0\0\0\6\x08\0\0\0\1Z", 10)), DecodeStatus::kMalformed);
}

TEST(Frame, OversizedHeaderIsRejectedBeforeTheBodyArrives) {
  EXPECT_EQ(StatusOf(std::string("\xFF\xFF\xFF\xFF", 4)), DecodeStatus::kTooLarge);
  const std::string ok = Encode({FrameType::kReply, {std::string(100, 'x')}});
  EXPECT_EQ(StatusOf(ok, ok.size() - kHeaderSize), DecodeStatus::kOk);
  EXPECT_EQ(StatusOf(ok.substr(0, 4), ok.size() - kHeaderSize - 1), DecodeStatus::kTooLarge);
}

}  // namespace
}  // namespace dde

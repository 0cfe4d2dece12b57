#include "platform/dde/Frame.h"

#include <atomic>

namespace dde {
namespace {

std::atomic<std::size_t> g_max_frame{kDefaultMaxFrameSize};

void PutU32(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>((v >> 24) & 0xFF));
  out.push_back(static_cast<char>((v >> 16) & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
  out.push_back(static_cast<char>(v & 0xFF));
}

std::uint32_t GetU32(std::string_view in, std::size_t at) {
  auto b = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i]));
  };
  return (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
}

}  // namespace

std::size_t MaxFrameSize() {
  return g_max_frame.load();
}
void SetMaxFrameSize(std::size_t bytes) {
  g_max_frame.store(bytes);
}

int FieldCount(std::uint8_t type) {
  switch (static_cast<FrameType>(type)) {
    case FrameType::kRequests:
      return 3;
    case FrameType::kConnect:
    case FrameType::kPoke:
      return 2;
    case FrameType::kRefuse:
    case FrameType::kRequest:
    case FrameType::kExecute:
    case FrameType::kReply:
    case FrameType::kTimeout:
      return 1;
    case FrameType::kAccept:
    case FrameType::kAck:
    case FrameType::kClose:
      return 0;
  }
  return -1;
}

std::string Encode(const Frame& frame) {
  std::size_t body = 1;
  for (const auto& f : frame.fields) body += 4 + f.size();
  std::string out;
  out.reserve(kHeaderSize + body);
  PutU32(out, static_cast<std::uint32_t>(body));
  out.push_back(static_cast<char>(frame.type));
  for (const auto& f : frame.fields) {
    PutU32(out, static_cast<std::uint32_t>(f.size()));
    out += f;
  }
  return out;
}

DecodeStatus Decode(std::string_view input, std::size_t limit, Frame* out, std::size_t* consumed) {
  if (input.size() < kHeaderSize) return DecodeStatus::kNeedMore;
  const std::uint32_t body = GetU32(input, 0);
  if (body > limit) return DecodeStatus::kTooLarge;
  if (body == 0) return DecodeStatus::kMalformed;
  if (input.size() - kHeaderSize < body) return DecodeStatus::kNeedMore;

  std::string_view rest = input.substr(kHeaderSize, body);
  const auto type = static_cast<std::uint8_t>(rest[0]);
  const int count = FieldCount(type);
  if (count < 0) return DecodeStatus::kMalformed;
  rest.remove_prefix(1);

  Frame frame;
  frame.type = static_cast<FrameType>(type);
  for (int i = 0; i < count; ++i) {
    if (rest.size() < 4) return DecodeStatus::kMalformed;
    const std::uint32_t len = GetU32(rest, 0);
    rest.remove_prefix(4);
    if (len > rest.size()) return DecodeStatus::kMalformed;
    frame.fields.emplace_back(rest.substr(0, len));
    rest.remove_prefix(len);
  }
  if (!rest.empty()) return DecodeStatus::kMalformed;
  *out = std::move(frame);
  *consumed = kHeaderSize + body;
  return DecodeStatus::kOk;
}

}  // namespace dde

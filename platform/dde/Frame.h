#pragma once
// Wire format of a DDE conversation.
//
// A frame is a 4-byte big-endian body length followed by the body: one type
// byte and the type's fixed number of fields, each a 4-byte big-endian length
// and that many bytes.  Decoding is strict: an unknown type, a wrong field
// count, a field running past the body, trailing bytes or a body larger than
// the limit are all errors.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dde {

enum class FrameType : std::uint8_t {
  kConnect = 1,   // application, topic
  kAccept = 2,    // -
  kRefuse = 3,    // reason
  kRequest = 4,   // item
  kExecute = 5,   // command
  kPoke = 6,      // item, data
  kReply = 7,     // data
  kAck = 8,       // -
  kClose = 9,     // -
  kTimeout = 10,  // milliseconds, decimal (to the Wine bridge: its wait per transaction)
  // application, topic, items each ended by a NUL (to the Wine bridge: the requests that
  // Connect, Request and Close would make for each item in turn; see WineTransport.h)
  kRequests = 11,
};

// The Wine bridge answers a transaction that DDE could not carry out with a Refuse whose reason
// says why; any other reason is the server's refusal.
inline constexpr const char* kReasonTimeout = "timeout";         // no answer within the wait
inline constexpr const char* kReasonServerGone = "server gone";  // the conversation ended
// The text holds letters the server's code page lacks (they follow ": "); it was not sent.
inline constexpr const char* kReasonNotInCodePage = "not in the code page";

struct Frame {
  FrameType type = FrameType::kClose;
  std::vector<std::string> fields;

  bool operator==(const Frame&) const = default;
};

inline constexpr std::size_t kHeaderSize = 4;
inline constexpr std::size_t kDefaultMaxFrameSize = 16u * 1024 * 1024;

// The largest body this process sends or accepts (tests lower it).
std::size_t MaxFrameSize();
void SetMaxFrameSize(std::size_t bytes);

// Number of fields a frame of the given type carries; -1 for an unknown type.
int FieldCount(std::uint8_t type);

std::string Encode(const Frame& frame);

enum class DecodeStatus { kOk, kNeedMore, kMalformed, kTooLarge };

// Decodes the first frame of `input`.  On kOk sets *out and *consumed.  A
// header announcing a body over `limit` is kTooLarge before the body arrives.
DecodeStatus Decode(std::string_view input, std::size_t limit, Frame* out, std::size_t* consumed);

}  // namespace dde

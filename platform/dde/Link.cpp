#include "platform/dde/Link.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

#include "platform/dde/Connection.h"
#include "platform/dde/Transport.h"
#include "platform/vbrt/VbError.h"

namespace dde {
namespace {

constexpr int kLongestWaitTenths = 65535;
constexpr std::string_view kLettersLacked = "Not sent: the server's code page lacks the letters ";

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string EnvOrEmpty(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

}  // namespace

Link::Link() = default;
Link::~Link() = default;
Link::Link(Link&&) noexcept = default;
Link& Link::operator=(Link&&) noexcept = default;

void Link::SetLinkTimeout(int tenths) {
  if (tenths < -1) vb::Raise(vb::kInvalidPropertyValue);
  timeout_ = tenths;
}

int Link::WaitMilliseconds() const {
  return dde::WaitMilliseconds(timeout_);
}

int WaitMilliseconds(int linkTimeout) {
  return (linkTimeout < 0 ? kLongestWaitTenths : linkTimeout) * 100;
}

void Link::SetLinkMode(int mode) {
  if (mode < vbLinkNone || mode > vbLinkNotify) vb::Raise(vb::kInvalidPropertyValue);
  if (mode == vbLinkNone) {
    if (conv_) {
      conv_->Close();
      conv_.reset();
    }
    mode_ = vbLinkNone;
    return;
  }
  if (mode == mode_ && conv_) return;
  // Hot and warm links need advise loops, which no server of ours offers.
  if (mode != vbLinkManual) vb::Raise(vb::kDdeRefused);

  const auto bar = topic_.find('|');
  if (bar == std::string::npos || bar == 0) vb::Raise(vb::kDdeBadTopic);
  const std::string app = topic_.substr(0, bar);
  const std::string topic = topic_.substr(bar + 1);

  const auto deadline = Clock::now() + std::chrono::milliseconds(WaitMilliseconds());
  auto conv = CurrentTransport()->Open(app, topic, deadline);
  if (!conv) vb::Raise(vb::kDdeNoApp);
  conv_ = std::move(conv);
  mode_ = vbLinkManual;
}

Frame Link::Transact(const Frame& frame) {
  if (!conv_) vb::Raise(vb::kDdeNoChannel);
  const std::size_t body = Encode(frame).size() - kHeaderSize;
  if (body > MaxFrameSize()) vb::Raise(vb::kDdeRefused);

  const auto deadline = Clock::now() + std::chrono::milliseconds(WaitMilliseconds());
  Frame reply;
  switch (conv_->Transact(frame, deadline, &reply)) {
    case IoStatus::kOk:
      return reply;
    case IoStatus::kTimeout:
      vb::Raise(vb::kDdeTimeout);
    case IoStatus::kMalformed:
    case IoStatus::kTooLarge:
      Drop();
      vb::Raise(kDdeWrongFormat);
    case IoStatus::kClosed:
    case IoStatus::kFailed:
      break;
  }
  Drop();
  vb::Raise(kDdeAppQuit);
}

void Link::Drop() {
  conv_.reset();
  mode_ = vbLinkNone;
}

void Link::Expect(const Frame& reply, FrameType ok) {
  if (reply.type == ok) return;
  if (reply.type == FrameType::kRefuse) {
    const std::string because = std::string(kReasonNotInCodePage) + ": ";
    const std::string& reason = reply.fields[0];
    if (reason.rfind(because, 0) == 0) {
      throw vb::VbError(vb::kDdeRefused,
                        std::string(kLettersLacked) + reason.substr(because.size()));
    }
    vb::Raise(vb::kDdeRefused);
  }
  Drop();  // a frame of the wrong kind: the stream can no longer be trusted
  vb::Raise(kDdeWrongFormat);
}

std::string Link::Request() {
  const Frame reply = Transact(Frame{FrameType::kRequest, {item_}});
  Expect(reply, FrameType::kReply);
  return reply.fields[0];
}

void Link::Execute(const std::string& command) {
  Expect(Transact(Frame{FrameType::kExecute, {command}}), FrameType::kAck);
}

void Link::Poke(const std::string& text) {
  Expect(Transact(Frame{FrameType::kPoke, {item_, text}}), FrameType::kAck);
}

std::string LettersNotInCodePage(const vb::VbError& e) {
  const std::string& text = e.Description();
  if (e.Number() != vb::kDdeRefused || text.rfind(kLettersLacked, 0) != 0) return "";
  return text.substr(kLettersLacked.size());
}

std::filesystem::path ServiceDirectory() {
  std::string dir = EnvOrEmpty("VELMORA_DDE_DIR");
  if (dir.empty()) {
    const std::string runtime = EnvOrEmpty("XDG_RUNTIME_DIR");
    if (!runtime.empty()) {
      dir = runtime + "/velmora-dde";
    } else {
      std::string base = EnvOrEmpty("VELMORA_PREFIX");
      if (base.empty()) base = "/tmp";
      dir = base + "/velmora-dde-" + std::to_string(::geteuid());
    }
  }
  EnsurePrivateDirectory(dir);
  return dir;
}

std::filesystem::path SocketPath(const std::string& application) {
  return ServiceDirectory() / (Lower(application) + ".sock");
}

}  // namespace dde

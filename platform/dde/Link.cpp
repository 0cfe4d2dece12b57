#include "platform/dde/Link.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <set>

#include "platform/dde/Connection.h"
#include "platform/vbrt/VbError.h"

namespace dde {
namespace {

constexpr int kLongestWaitTenths = 65535;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string EnvOrEmpty(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

// The program's log is its standard error; each reason is told once per run, however often the
// program then tries to talk.
void TellOnce(const std::string& why) {
  static std::mutex mu;
  static std::set<std::string> told;
  std::lock_guard lock(mu);
  if (told.insert(why).second) std::cerr << "velmora: DDE: " << why << std::endl;
}

// A conversation only with a server of this user, listening in this user's private folder.
// Anything else is, to the program, a server that did not answer.
std::unique_ptr<Connection> OpenTrusted(const std::string& app) {
  const std::string dir = ServiceDirectory().string();
  if (const std::string why = PrivateDirectoryProblem(dir); !why.empty()) {
    TellOnce(why + "; no DDE conversation through it");
    return nullptr;
  }
  const std::string socket = dir + "/" + Lower(app) + ".sock";
  auto conn = Connection::Open(socket);
  if (conn && !PeerHasUid(conn->fd(), ::geteuid())) {
    TellOnce("the server at " + socket + " runs as another user; no conversation with it");
    return nullptr;
  }
  return conn;
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
  return (timeout_ < 0 ? kLongestWaitTenths : timeout_) * 100;
}

void Link::SetLinkMode(int mode) {
  if (mode < vbLinkNone || mode > vbLinkNotify) vb::Raise(vb::kInvalidPropertyValue);
  if (mode == vbLinkNone) {
    if (conn_) {
      const auto deadline = Clock::now() + std::chrono::milliseconds(100);
      conn_->Send(Frame{FrameType::kClose, {}}, deadline);  // best effort
      conn_.reset();
    }
    mode_ = vbLinkNone;
    stale_replies_ = 0;
    return;
  }
  if (mode == mode_ && conn_) return;
  // Hot and warm links need advise loops, which no server of ours offers.
  if (mode != vbLinkManual) vb::Raise(vb::kDdeRefused);

  const auto bar = topic_.find('|');
  if (bar == std::string::npos || bar == 0) vb::Raise(vb::kDdeBadTopic);
  const std::string app = topic_.substr(0, bar);
  const std::string topic = topic_.substr(bar + 1);

  auto conn = OpenTrusted(app);
  if (!conn) vb::Raise(vb::kDdeNoApp);
  const auto deadline = Clock::now() + std::chrono::milliseconds(WaitMilliseconds());
  Frame reply;
  if (conn->Send(Frame{FrameType::kConnect, {app, topic}}, deadline) != IoStatus::kOk ||
      conn->Receive(&reply, deadline) != IoStatus::kOk || reply.type != FrameType::kAccept) {
    // Refused, silent or broken: to the program nobody answered the initiate.
    vb::Raise(vb::kDdeNoApp);
  }
  conn_ = std::move(conn);
  mode_ = vbLinkManual;
  stale_replies_ = 0;
}

Frame Link::Transact(const Frame& frame) {
  if (!conn_) vb::Raise(vb::kDdeNoChannel);
  const std::size_t body = Encode(frame).size() - kHeaderSize;
  if (body > MaxFrameSize()) vb::Raise(vb::kDdeRefused);

  const auto deadline = Clock::now() + std::chrono::milliseconds(WaitMilliseconds());
  IoStatus st = conn_->Send(frame, deadline);
  Frame reply;
  // Replies to transactions that timed out earlier arrive first; skip them.
  while (st == IoStatus::kOk) {
    st = conn_->Receive(&reply, deadline);
    if (st != IoStatus::kOk || stale_replies_ == 0) break;
    --stale_replies_;
  }
  switch (st) {
    case IoStatus::kOk:
      return reply;
    case IoStatus::kTimeout:
      ++stale_replies_;
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
  conn_.reset();
  mode_ = vbLinkNone;
  stale_replies_ = 0;
}

void Link::Expect(const Frame& reply, FrameType ok) {
  if (reply.type == ok) return;
  if (reply.type == FrameType::kRefuse) vb::Raise(vb::kDdeRefused);
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

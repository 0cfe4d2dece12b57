// Conversations over Unix-domain stream sockets: one socket per conversation, to the server
// listening for the application in ServiceDirectory().

#include <unistd.h>

#include <memory>
#include <mutex>
#include <set>

#include "platform/dde/Connection.h"
#include "platform/dde/Link.h"
#include "platform/dde/Transport.h"
#include "platform/dde/WineTransport.h"

namespace dde {
namespace {

// Each reason is told once per run, however often the program then tries to talk.
void TellOnce(const std::string& why) {
  static std::mutex mu;
  static std::set<std::string> told;
  bool first = false;
  {
    std::lock_guard lock(mu);
    first = told.insert(why).second;
  }
  if (first) DdeLog("DDE: " + why);
}

// A conversation only with a server of this user, listening in this user's private folder.
// Anything else is, to the program, a server that did not answer.
std::unique_ptr<Connection> OpenTrusted(const std::string& app) {
  const std::string dir = ServiceDirectory().string();
  if (const std::string why = PrivateDirectoryProblem(dir); !why.empty()) {
    TellOnce(why + "; no DDE conversation through it");
    return nullptr;
  }
  const std::string socket = SocketPath(app).string();
  auto conn = Connection::Open(socket);
  if (conn && !PeerHasUid(conn->fd(), ::geteuid())) {
    TellOnce("the server at " + socket + " runs as another user; no conversation with it");
    return nullptr;
  }
  return conn;
}

class SocketChannel : public Channel {
 public:
  explicit SocketChannel(std::unique_ptr<Connection> conn) : conn_(std::move(conn)) {}

  IoStatus Transact(const Frame& frame, Clock::time_point deadline, Frame* reply) override {
    IoStatus st = conn_->Send(frame, deadline);
    // Replies to transactions that timed out earlier arrive first; skip them.
    while (st == IoStatus::kOk) {
      st = conn_->Receive(reply, deadline);
      if (st != IoStatus::kOk || stale_replies_ == 0) break;
      --stale_replies_;
    }
    if (st == IoStatus::kTimeout) ++stale_replies_;
    return st;
  }

  void Close() override {
    const auto deadline = Clock::now() + std::chrono::milliseconds(100);
    conn_->Send(Frame{FrameType::kClose, {}}, deadline);  // best effort
  }

 private:
  std::unique_ptr<Connection> conn_;
  int stale_replies_ = 0;  // replies still owed for transactions that timed out
};

class SocketTransport : public Transport {
 public:
  std::unique_ptr<Channel> Open(const std::string& app, const std::string& topic,
                                Clock::time_point deadline) override {
    auto conn = OpenTrusted(app);
    if (!conn) return nullptr;
    Frame reply;
    if (conn->Send(Frame{FrameType::kConnect, {app, topic}}, deadline) != IoStatus::kOk ||
        conn->Receive(&reply, deadline) != IoStatus::kOk || reply.type != FrameType::kAccept) {
      // Refused, silent or broken: to the program nobody answered the initiate.
      return nullptr;
    }
    return std::make_unique<SocketChannel>(std::move(conn));
  }
};

}  // namespace

std::shared_ptr<Transport> MakeSocketTransport() {
  return std::make_shared<SocketTransport>();
}

}  // namespace dde

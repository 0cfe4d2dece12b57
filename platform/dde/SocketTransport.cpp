// Conversations over Unix-domain stream sockets: one socket per conversation, to the server
// listening for the application in ServiceDirectory().

#include <memory>

#include "platform/dde/Connection.h"
#include "platform/dde/Link.h"
#include "platform/dde/Transport.h"

namespace dde {
namespace {

class SocketConversation : public Conversation {
 public:
  explicit SocketConversation(std::unique_ptr<Connection> conn) : conn_(std::move(conn)) {}

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
  std::unique_ptr<Conversation> Open(const std::string& app, const std::string& topic,
                                     Clock::time_point deadline) override {
    auto conn = Connection::Open(SocketPath(app).string());
    if (!conn) return nullptr;
    Frame reply;
    if (conn->Send(Frame{FrameType::kConnect, {app, topic}}, deadline) != IoStatus::kOk ||
        conn->Receive(&reply, deadline) != IoStatus::kOk || reply.type != FrameType::kAccept) {
      // Refused, silent or broken: to the program nobody answered the initiate.
      return nullptr;
    }
    return std::make_unique<SocketConversation>(std::move(conn));
  }
};

}  // namespace

std::shared_ptr<Transport> MakeSocketTransport() {
  return std::make_shared<SocketTransport>();
}

}  // namespace dde

#pragma once
// The server side of DDE conversations: listens for one application name and
// hands each conversation's connect, request, execute and poke to a Handler.
// Single-threaded poll loop; Stop() may be called from another thread or a
// signal handler.

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "platform/dde/Frame.h"

namespace dde {

// What the handler answers to one transaction.
struct Answer {
  enum class Kind {
    kOk,          // request: a Reply carrying `data`; execute/poke: an Ack
    kRefuse,      // the client sees 285
    kGarbage,     // a malformed frame (failure tests)
    kCloseEarly,  // half a reply, then the connection closes (failure tests)
    kSilent,      // no answer at all (failure tests)
  };
  Kind kind = Kind::kOk;
  std::string data;
  std::chrono::milliseconds delay{0};  // the answer goes out this much later

  static Answer Ok(std::string text = {}) { return {Kind::kOk, std::move(text), {}}; }
  static Answer Refuse(std::string reason = {}) { return {Kind::kRefuse, std::move(reason), {}}; }
};

// One conversation as the handler sees it.
struct Conversation {
  unsigned long id = 0;     // distinct for every conversation the server holds in its life
  std::string application;  // as the client spelled it (matched without regard to case)
  std::string topic;        // likewise
};

class Handler {
 public:
  virtual ~Handler() = default;
  // The answer to the initiate: kOk accepts the conversation, kRefuse refuses it, kSilent
  // (failure tests) never answers; a delay holds the answer back.
  virtual Answer Connect(const Conversation& c) = 0;
  virtual Answer Request(const Conversation& c, const std::string& item) = 0;
  virtual Answer Execute(const Conversation& c, const std::string& command) = 0;
  virtual Answer Poke(const Conversation& c, const std::string& item, const std::string& data) = 0;
  // An accepted conversation ended (the client closed it or went away).
  virtual void Disconnect(const Conversation& /*c*/) {}
};

struct ServerOptions {
  std::filesystem::path directory;  // empty: ServiceDirectory()
  std::size_t max_sessions = 64;
};

class Server {
 public:
  // Starts listening; raises vb::VbError when it cannot (58 when a server for
  // the application already runs, 70 when the folder is not private to us,
  // 75 for other socket failures).  A socket file left by a dead server is
  // replaced.
  Server(const std::string& application, Handler& handler, ServerOptions options = {});
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Serves until Stop().
  void Run();
  // Async-signal-safe.
  void Stop();

  const std::filesystem::path& socket_path() const { return path_; }

 private:
  struct Session;
  void AcceptOne();
  void ReadFrom(Session& s);
  void Dispatch(Session& s, const Frame& frame);
  void Respond(Session& s, FrameType asked, Answer answer);
  void Apply(Session& s, FrameType asked, const Answer& answer);
  void WriteTo(Session& s);
  int NextTimeoutMs() const;
  void CloseAll();

  Handler& handler_;
  ServerOptions options_;
  std::string application_;  // lower-cased
  std::filesystem::path path_;
  int listen_fd_ = -1;
  unsigned long socket_inode_ = 0;
  int stop_pipe_[2] = {-1, -1};
  unsigned long next_conversation_ = 1;
  std::map<int, std::unique_ptr<Session>> sessions_;
};

}  // namespace dde

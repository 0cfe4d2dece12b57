#pragma once
// A connected stream socket (or a pair of pipes) that sends and receives
// frames within deadlines.  Shared by the client link, the Wine bridge's
// pipes and the tests; the server keeps its own non-blocking sessions.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "platform/dde/Frame.h"

namespace dde {

using Clock = std::chrono::steady_clock;

enum class IoStatus { kOk, kTimeout, kClosed, kMalformed, kTooLarge, kFailed };

class Connection {
 public:
  explicit Connection(int fd) : fd_(fd), out_fd_(fd) {}
  // Reads from one non-blocking pipe and writes to another (SIGPIPE must be ignored).
  Connection(int read_fd, int write_fd) : fd_(read_fd), out_fd_(write_fd), pipes_(true) {}
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Connects to the socket at `path`; nullptr when nobody listens there.
  static std::unique_ptr<Connection> Open(const std::string& path);

  IoStatus Send(const Frame& frame, Clock::time_point deadline);
  IoStatus SendRaw(std::string_view bytes, Clock::time_point deadline);
  IoStatus Receive(Frame* frame, Clock::time_point deadline);

  int fd() const { return fd_; }

 private:
  int fd_;
  int out_fd_;
  bool pipes_ = false;
  std::string buffer_;
};

// True when the process at the other end of the Unix socket `fd` runs with
// `expected_uid` (SO_PEERCRED).
bool PeerHasUid(int fd, uid_t expected_uid);

// Makes `dir` a private folder of the effective user (mode 0700).  False when
// it cannot be created or belongs to someone else.
bool EnsurePrivateDirectory(const std::string& dir);
// The same, saying why not: "" when `dir` is now a private folder of ours.
std::string PrivateDirectoryProblem(const std::string& dir);

}  // namespace dde

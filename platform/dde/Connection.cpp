#include "platform/dde/Connection.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>

namespace dde {
namespace {

// Rounded up, so that a wait never ends before its deadline.
int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  if (left.count() <= 0) return 0;
  return left.count() > 1'000'000'000 ? 1'000'000'000 : static_cast<int>(left.count());
}

// Waits for `events` on fd; kOk when ready.
IoStatus WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, MillisecondsLeft(deadline));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return IoStatus::kFailed;
    if (n == 0 && Clock::now() < deadline) continue;  // woken early by the clock's grain
    if (n == 0) return IoStatus::kTimeout;
    if (p.revents & (events | POLLHUP | POLLERR)) return IoStatus::kOk;
    return IoStatus::kFailed;
  }
}

}  // namespace

Connection::~Connection() {
  if (fd_ >= 0) ::close(fd_);
  if (pipes_ && out_fd_ >= 0) ::close(out_fd_);
}

std::unique_ptr<Connection> Connection::Open(const std::string& path) {
  sockaddr_un addr{};
  if (path.size() >= sizeof(addr.sun_path)) return nullptr;
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return nullptr;
  // A listening Unix socket completes the connect at once or refuses; only a
  // full backlog gives EAGAIN, which we treat as "nobody answers".
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<Connection>(fd);
}

IoStatus Connection::Send(const Frame& frame, Clock::time_point deadline) {
  return SendRaw(Encode(frame), deadline);
}

IoStatus Connection::SendRaw(std::string_view bytes, Clock::time_point deadline) {
  while (!bytes.empty()) {
    const ssize_t n = pipes_ ? ::write(out_fd_, bytes.data(), bytes.size())
                             : ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      const IoStatus w = WaitFor(out_fd_, POLLOUT, deadline);
      if (w != IoStatus::kOk) return w;
      continue;
    }
    return (errno == EPIPE || errno == ECONNRESET) ? IoStatus::kClosed : IoStatus::kFailed;
  }
  return IoStatus::kOk;
}

IoStatus Connection::Receive(Frame* frame, Clock::time_point deadline) {
  for (;;) {
    std::size_t used = 0;
    switch (Decode(buffer_, MaxFrameSize(), frame, &used)) {
      case DecodeStatus::kOk:
        buffer_.erase(0, used);
        return IoStatus::kOk;
      case DecodeStatus::kMalformed:
        return IoStatus::kMalformed;
      case DecodeStatus::kTooLarge:
        return IoStatus::kTooLarge;
      case DecodeStatus::kNeedMore:
        break;
    }
    const IoStatus w = WaitFor(fd_, POLLIN, deadline);
    if (w != IoStatus::kOk) return w;
    char chunk[65536];
    const ssize_t n = pipes_ ? ::read(fd_, chunk, sizeof(chunk))
                             : ::recv(fd_, chunk, sizeof(chunk), MSG_DONTWAIT);
    if (n == 0) return IoStatus::kClosed;
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return errno == ECONNRESET ? IoStatus::kClosed : IoStatus::kFailed;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
}

bool PeerHasUid(int fd, uid_t expected_uid) {
  ucred cred{};
  socklen_t len = sizeof(cred);
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || len != sizeof(cred)) {
    return false;
  }
  return cred.uid == expected_uid;
}

bool EnsurePrivateDirectory(const std::string& dir) {
  return PrivateDirectoryProblem(dir).empty();
}

std::string PrivateDirectoryProblem(const std::string& dir) {
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
    return dir + " cannot be made: " + std::strerror(errno);
  }
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return dir + " is not a folder";
  if (st.st_uid != ::geteuid()) {
    return dir + " belongs to uid " + std::to_string(st.st_uid) + ", not to this user";
  }
  if ((st.st_mode & 0077) != 0 && ::chmod(dir.c_str(), 0700) != 0) {
    return dir + " cannot be made private: " + std::strerror(errno);
  }
  return {};
}

}  // namespace dde

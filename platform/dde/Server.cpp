#include "platform/dde/Server.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <vector>

#include "platform/dde/Connection.h"
#include "platform/dde/Link.h"
#include "platform/vbrt/VbError.h"

namespace dde {

struct Server::Session {
  Session(int f, unsigned long id) : fd(f) { conv.id = id; }
  ~Session() { ::close(fd); }
  int fd;
  std::string in;
  std::string out;
  Conversation conv;
  bool connected = false;
  bool close_after_write = false;
  bool dead = false;
  struct Pending {
    Clock::time_point due;
    FrameType asked;
    Answer answer;
  };
  std::optional<Pending> pending;
};

namespace {

[[noreturn]] void Fail(int number, const std::string& what) {
  throw vb::VbError(number, vb::ErrorText(number) + ": " + what, "dde::Server");
}

std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Removes a socket file whose server is gone; fails when one still answers.
void ClearStaleSocket(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return;
  if (!S_ISSOCK(st.st_mode)) Fail(vb::kFileAlreadyExists, path + " is not a socket");
  if (Connection::Open(path)) Fail(vb::kFileAlreadyExists, "a server already listens on " + path);
  ::unlink(path.c_str());
}

}  // namespace

Server::Server(const std::string& application, Handler& handler, ServerOptions options)
    : handler_(handler), options_(std::move(options)), application_(Lower(application)) {
  std::filesystem::path dir = options_.directory.empty() ? ServiceDirectory() : options_.directory;
  if (!EnsurePrivateDirectory(dir.string())) {
    Fail(vb::kPermissionDenied, dir.string() + " is not a private folder of this user");
  }
  path_ = dir / (Lower(application) + ".sock");
  sockaddr_un addr{};
  const std::string path = path_.string();
  if (path.size() >= sizeof(addr.sun_path)) Fail(vb::kPathFileAccess, "socket path too long");
  ClearStaleSocket(path);

  if (::pipe2(stop_pipe_, O_CLOEXEC | O_NONBLOCK) != 0) Fail(vb::kPathFileAccess, "pipe");
  listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  if (listen_fd_ < 0 || ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
      ::listen(listen_fd_, 16) != 0) {
    const std::string why = std::strerror(errno);
    CloseAll();
    Fail(vb::kPathFileAccess, path + ": " + why);
  }
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) socket_inode_ = st.st_ino;
}

Server::~Server() {
  CloseAll();
}

void Server::CloseAll() {
  sessions_.clear();
  if (listen_fd_ >= 0) {
    ::close(listen_fd_);
    listen_fd_ = -1;
    struct stat st {};
    // Only remove the file if it is still ours (not a successor's socket).
    if (::lstat(path_.c_str(), &st) == 0 && st.st_ino == socket_inode_) ::unlink(path_.c_str());
  }
  for (int& fd : stop_pipe_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void Server::Stop() {
  const char c = 'x';
  [[maybe_unused]] ssize_t n = ::write(stop_pipe_[1], &c, 1);
}

int Server::NextTimeoutMs() const {
  std::optional<Clock::time_point> next;
  for (const auto& [fd, s] : sessions_) {
    if (s->pending && (!next || s->pending->due < *next)) next = s->pending->due;
  }
  if (!next) return -1;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(*next - Clock::now());
  return ms.count() < 0 ? 0 : static_cast<int>(ms.count()) + 1;
}

void Server::Run() {
  for (;;) {
    std::vector<pollfd> fds{{stop_pipe_[0], POLLIN, 0}, {listen_fd_, POLLIN, 0}};
    for (const auto& [fd, s] : sessions_) {
      short events = 0;
      if (!s->pending && !s->close_after_write) events |= POLLIN;
      if (!s->out.empty()) events |= POLLOUT;
      fds.push_back({fd, events, 0});
    }
    const int n = ::poll(fds.data(), fds.size(), NextTimeoutMs());
    if (n < 0 && errno != EINTR) return;
    if (n > 0 && (fds[0].revents & POLLIN)) return;
    if (n > 0 && (fds[1].revents & POLLIN)) AcceptOne();
    for (std::size_t i = 2; n > 0 && i < fds.size(); ++i) {
      auto it = sessions_.find(fds[i].fd);
      if (it == sessions_.end()) continue;
      Session& s = *it->second;
      if ((fds[i].revents & (POLLHUP | POLLERR)) && s.pending) s.dead = true;  // gone while we wait
      if (fds[i].revents & POLLOUT) WriteTo(s);
      if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) ReadFrom(s);
    }
    const auto now = Clock::now();
    for (auto& [fd, s] : sessions_) {
      if (s->pending && s->pending->due <= now && !s->dead) {
        const auto p = std::move(*s->pending);
        s->pending.reset();
        Apply(*s, p.asked, p.answer);
        ReadFrom(*s);  // frames that queued up behind the delayed one
      }
    }
    std::erase_if(sessions_, [this](const auto& kv) {
      const Session& s = *kv.second;
      const bool gone = s.dead || (s.close_after_write && s.out.empty());
      if (gone && s.connected) handler_.Disconnect(s.conv);
      return gone;
    });
  }
}

void Server::AcceptOne() {
  const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) return;
  if (!PeerHasUid(fd, ::geteuid()) || sessions_.size() >= options_.max_sessions) {
    ::close(fd);
    return;
  }
  sessions_.emplace(fd, std::make_unique<Session>(fd, next_conversation_++));
}

void Server::ReadFrom(Session& s) {
  if (s.dead) return;
  if (!s.pending && !s.close_after_write) {
    char chunk[65536];
    for (;;) {
      const ssize_t n = ::recv(s.fd, chunk, sizeof(chunk), MSG_DONTWAIT);
      if (n > 0) {
        s.in.append(chunk, static_cast<std::size_t>(n));
        if (s.in.size() > MaxFrameSize() + kHeaderSize + 65536) break;  // decode before more
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
      s.dead = true;  // the client went away or the socket failed
      break;
    }
  }
  while (!s.dead && !s.pending && !s.close_after_write) {
    Frame frame;
    std::size_t used = 0;
    const DecodeStatus st = Decode(s.in, MaxFrameSize(), &frame, &used);
    if (st == DecodeStatus::kNeedMore) break;
    if (st != DecodeStatus::kOk) {
      s.dead = true;  // a client that breaks the protocol loses its conversation
      break;
    }
    s.in.erase(0, used);
    Dispatch(s, frame);
  }
}

void Server::Dispatch(Session& s, const Frame& frame) {
  auto queue = [&](const Frame& f) {
    s.out += Encode(f);
    WriteTo(s);
  };
  if (frame.type == FrameType::kClose) {
    s.dead = true;
    return;
  }
  if (frame.type == FrameType::kConnect) {
    if (s.connected) {
      queue(Frame{FrameType::kRefuse, {"topic refused"}});
      return;
    }
    s.conv.application = frame.fields[0];
    s.conv.topic = frame.fields[1];
    Answer answer = Answer::Refuse("topic refused");
    if (Lower(frame.fields[0]) == application_) {
      try {
        answer = handler_.Connect(s.conv);
      } catch (...) {
        answer = Answer::Refuse("topic refused");
      }
    }
    Respond(s, FrameType::kConnect, std::move(answer));
    return;
  }
  if (frame.type != FrameType::kRequest && frame.type != FrameType::kExecute &&
      frame.type != FrameType::kPoke) {
    s.dead = true;  // server-side frame types never come from a client
    return;
  }
  if (!s.connected) {
    queue(Frame{FrameType::kRefuse, {"no conversation"}});
    s.close_after_write = true;
    return;
  }
  Answer answer;
  try {
    if (frame.type == FrameType::kRequest) {
      answer = handler_.Request(s.conv, frame.fields[0]);
    } else if (frame.type == FrameType::kExecute) {
      answer = handler_.Execute(s.conv, frame.fields[0]);
    } else {
      answer = handler_.Poke(s.conv, frame.fields[0], frame.fields[1]);
    }
  } catch (...) {
    answer = Answer::Refuse("handler failed");
  }
  Respond(s, frame.type, std::move(answer));
}

// Sends the answer now, or holds it back for its delay.
void Server::Respond(Session& s, FrameType asked, Answer answer) {
  if (answer.delay.count() > 0) {
    s.pending = Session::Pending{Clock::now() + answer.delay, asked, std::move(answer)};
    return;
  }
  Apply(s, asked, answer);
}

void Server::Apply(Session& s, FrameType asked, const Answer& answer) {
  switch (answer.kind) {
    case Answer::Kind::kOk:
      if (asked == FrameType::kConnect) {
        s.connected = true;
        s.out += Encode(Frame{FrameType::kAccept, {}});
      } else {
        s.out += asked == FrameType::kRequest ? Encode(Frame{FrameType::kReply, {answer.data}})
                                              : Encode(Frame{FrameType::kAck, {}});
      }
      break;
    case Answer::Kind::kRefuse:
      s.out += Encode(Frame{FrameType::kRefuse, {answer.data}});
      if (asked == FrameType::kConnect) s.close_after_write = true;  // the initiate failed
      break;
    case Answer::Kind::kGarbage:
      // A body of three bytes whose type byte is unknown.
      s.out += std::string("\0\0\0\3\xEE\x01\x02", 7);
      break;
    case Answer::Kind::kCloseEarly: {
      const std::string full = Encode(Frame{FrameType::kReply, {answer.data}});
      s.out += full.substr(0, full.size() / 2);
      s.close_after_write = true;
      break;
    }
    case Answer::Kind::kSilent:
      break;
  }
  WriteTo(s);
}

void Server::WriteTo(Session& s) {
  while (!s.out.empty() && !s.dead) {
    const ssize_t n = ::send(s.fd, s.out.data(), s.out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      s.out.erase(0, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    s.dead = true;
  }
}

}  // namespace dde

// The Wine transport: conversations through the bridge program running under Wine.

#include "platform/dde/WineTransport.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/vbrt/CodePage.h"
#include "platform/winfs/WinFs.h"

namespace dde {
namespace {

namespace fs = std::filesystem;

// Later starts of Wine take well under 1 s, the first one of a session some seconds.  Only one
// start of a run waits this long: a Wine that hangs costs the user one wait, not one per
// conversation.
constexpr auto kBridgeStartWait = std::chrono::seconds(15);
constexpr auto kRestartPause = std::chrono::seconds(10);
// The bridge itself waits the link's time for DDE; this much more for its answer to come back.
constexpr auto kAnswerGrace = std::chrono::seconds(2);
// Answers asked for ahead are dropped when their operations have not come by then.
constexpr auto kAheadLife = std::chrono::seconds(2);

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

bool IsExecutable(const fs::path& p) {
  return !p.empty() && ::access(p.c_str(), X_OK) == 0 && !fs::is_directory(p);
}

fs::path OnPath(const std::string& name) {
  std::stringstream path(Env("PATH"));
  for (std::string dir; std::getline(path, dir, ':');) {
    if (!dir.empty() && IsExecutable(fs::path(dir) / name)) return fs::path(dir) / name;
  }
  return {};
}

// Why the loader `VELMORA_WINE` names cannot be run; "" when it can, or is not set.
std::string WineSettingProblem() {
  const std::string v = Env("VELMORA_WINE");
  if (v.empty() || IsExecutable(v)) return {};
  return "VELMORA_WINE names " + v + ", " +
         (fs::exists(v) ? "which is not a program" : "which is missing");
}

// The process groups of bridges started and not yet ready.  A Wine that hangs while starting
// reads nothing, so only a signal ends it and what it started; Velmora's end sends one, also
// when Velmora itself is ended by a signal.
std::array<std::atomic<pid_t>, 8> g_starting;

void EndStartingGroups() {
  for (auto& group : g_starting) {
    const pid_t g = group.exchange(0);
    if (g > 0) ::kill(-g, SIGKILL);
  }
}

// Async-signal-safe: kill, signal and raise only.
extern "C" void EndStartingAndDie(int sig) {
  EndStartingGroups();
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

// Velmora ended by SIGTERM, SIGINT or SIGHUP ends the Wine starts it is waiting for first,
// unless the program handles the signal itself.
void EndStartsOnSignals() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
      struct sigaction old {};
      if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) {
        ::signal(sig, EndStartingAndDie);
      }
    }
  });
}

void ForgetStarting(pid_t group) {
  for (auto& g : g_starting) {
    pid_t expected = group;
    if (g.compare_exchange_strong(expected, 0)) return;
  }
}

void RememberStarting(pid_t group) {
  for (auto& g : g_starting) {
    pid_t expected = 0;
    if (g.compare_exchange_strong(expected, group)) return;
  }
}

class Bridge {
 public:
  ~Bridge() { Kill(); }

  // Starts the bridge under Wine without waiting for it; nullptr with *why when it cannot.
  static std::shared_ptr<Bridge> Launch(const WineSetup& setup, std::string* why);

  enum class Hello { kReady, kNotYet, kFailed };
  // Waits until `deadline` for the bridge's first word: ready, or *why it cannot work.
  Hello AwaitHello(const WineSetup& setup, Clock::time_point deadline, std::string* why);

  IoStatus Send(const Frame& frame, Clock::time_point deadline) {
    const IoStatus st = pipes_->Send(frame, deadline);
    if (st != IoStatus::kOk) broken_ = true;
    return st;
  }
  // The next answer, after the ones still owed to transactions that timed out.
  IoStatus Receive(Frame* frame, Clock::time_point deadline) {
    for (;;) {
      const IoStatus st = pipes_->Receive(frame, deadline);
      if (st == IoStatus::kTimeout) ++owed_;
      if (st != IoStatus::kOk && st != IoStatus::kTimeout) broken_ = true;
      if (st != IoStatus::kOk || owed_ == 0) return st;
      --owed_;
    }
  }
  // Sets the bridge's DDE wait to the time left until `deadline` (in whole tenths).
  void SetWait(Clock::time_point deadline) {
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    ms = (ms + 99) / 100 * 100;
    if (ms < 100) ms = 100;
    if (ms == wait_ms_) return;
    if (Send(Frame{FrameType::kTimeout, {std::to_string(ms)}}, deadline) == IoStatus::kOk) {
      wait_ms_ = ms;
    }
  }
  bool usable() const { return !broken_; }
  // Not used again: the stream is out of step.
  void Abandon() { broken_ = true; }
  // True once the bridge has ended (wineserver -k ends every program of its prefix).
  bool Ended() {
    int st = 0;
    if (pid_ > 0 && ::waitpid(pid_, &st, WNOHANG) == pid_) {
      pid_ = -1;
      broken_ = true;
    }
    return broken_;
  }
  // Claimed under the transport's lock for one conversation; given back by its channel.
  std::atomic<bool> busy = false;

 private:
  void Kill() {
    pipes_.reset();  // the bridge ends at the end of its input, ending its conversations
    if (pid_ <= 0) return;
    if (!ready_) {
      // A start that never answered: Wine's loader and whatever it started so far.  A ready
      // bridge's group is left alone: Wine's own processes for the prefix may be in it.
      ForgetStarting(pid_);
      ::kill(-pid_, SIGKILL);
    }
    int st = 0;
    for (int i = 0; i < 40 && ::waitpid(pid_, &st, WNOHANG) == 0; ++i) {
      if (i == 30) ::kill(pid_, SIGTERM);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (::waitpid(pid_, &st, WNOHANG) == 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &st, 0);
    }
    pid_ = -1;
  }

  pid_t pid_ = -1;
  bool ready_ = false;  // said it is ready
  std::unique_ptr<Connection> pipes_;
  std::atomic<bool> broken_ = false;  // read by the transport while a channel uses the bridge
  int owed_ = 0;
  long long wait_ms_ = -1;
};

void SetDefaultEnv(const char* name, const char* value) {
  const char* v = std::getenv(name);
  if (!v || !*v) ::setenv(name, value, 1);
}

// In the child: Wine quiet, no installer dialogs, the bridge's pipes on its standard handles.
// No parent-death signal: Linux sends it when the thread that forked ends, not the program.  The
// bridge ends at the end of its input, which comes when Velmora closes the pipe or dies.
[[noreturn]] void ExecBridge(const WineSetup& setup, const std::string& codePage, int in, int out) {
  ::setpgid(0, 0);  // a group of its own, so that a hung start can be ended whole
  ::dup2(in, STDIN_FILENO);
  ::dup2(out, STDOUT_FILENO);
  const int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) ::dup2(null, STDERR_FILENO);
  ::setenv("WINEPREFIX", setup.prefix.c_str(), 1);
  // The bridge converts texts in the code page Velmora reads the prefix's files in.
  ::setenv("VELMORA_ANSI_CODEPAGE", codePage.c_str(), 1);
  SetDefaultEnv("WINEDEBUG", "-all");
  SetDefaultEnv("WINEDLLOVERRIDES", "mscoree,mshtml=");
  const std::string wine = setup.wine.string();
  const std::string bridge = setup.bridge.string();
  char* argv[] = {const_cast<char*>(wine.c_str()), const_cast<char*>(bridge.c_str()), nullptr};
  ::execv(argv[0], argv);
  ::_exit(127);
}

std::shared_ptr<Bridge> Bridge::Launch(const WineSetup& setup, std::string* why) {
  if (setup.wine.empty()) {
    *why = WineSettingProblem();
    if (why->empty()) *why = "Wine is not installed (no wine64 or wine found)";
    return nullptr;
  }
  if (!fs::is_regular_file(setup.bridge)) {
    *why = "the DDE bridge " + setup.bridge.string() + " is missing";
    return nullptr;
  }
  // A bridge that ends makes writes to its pipe fail with EPIPE instead of a signal.
  struct sigaction old {};
  if (::sigaction(SIGPIPE, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) {
    ::signal(SIGPIPE, SIG_IGN);
  }
  int to[2] = {-1, -1}, from[2] = {-1, -1};
  const bool piped = ::pipe2(to, O_CLOEXEC) == 0 && ::pipe2(from, O_CLOEXEC) == 0;
  const std::string codePage = std::to_string(vb::AnsiCodePage());
  EndStartsOnSignals();
  const pid_t pid = piped ? ::fork() : -1;
  if (pid == 0) ExecBridge(setup, codePage, to[0], from[1]);
  for (int fd : {to[0], from[1]}) {
    if (fd >= 0) ::close(fd);
  }
  auto b = std::make_shared<Bridge>();
  b->pipes_ = std::make_unique<Connection>(from[0], to[1]);
  if (pid < 0) {
    *why = "cannot start Wine";
    return nullptr;
  }
  b->pid_ = pid;
  ::setpgid(pid, pid);  // as the child does: whichever comes first
  RememberStarting(pid);
  ::fcntl(from[0], F_SETFL, O_NONBLOCK);
  ::fcntl(to[1], F_SETFL, O_NONBLOCK);
  return b;
}

Bridge::Hello Bridge::AwaitHello(const WineSetup& setup, Clock::time_point deadline,
                                 std::string* why) {
  Frame hello;
  const IoStatus st = pipes_->Receive(&hello, deadline);
  if (st == IoStatus::kOk && hello.type == FrameType::kAccept) {
    ready_ = true;
    ForgetStarting(pid_);
    return Hello::kReady;
  }
  if (st == IoStatus::kTimeout) return Hello::kNotYet;
  broken_ = true;
  if (st == IoStatus::kOk && hello.type == FrameType::kRefuse) {
    *why = "the DDE bridge cannot work: " + hello.fields[0];
  } else {
    *why = "the DDE bridge did not start under " + setup.wine.string() +
           " (is the prefix usable and an X display there?)";
  }
  return Hello::kFailed;
}

// A transaction's outcome as the link takes it: the bridge's refusals for DDE's failures are the
// transport's timeout and closed conversation.
IoStatus Outcome(IoStatus st, const Frame& reply) {
  if (st != IoStatus::kOk || reply.type != FrameType::kRefuse) return st;
  if (reply.fields[0] == kReasonTimeout) return IoStatus::kTimeout;
  if (reply.fields[0] == kReasonServerGone) return IoStatus::kClosed;
  return st;
}

// The answers asked for ahead (Transport::Prefetch), each for the operation expected next.
class Ahead {
 public:
  struct Answer {
    std::string app, topic, item;
    IoStatus status;
    Frame reply;
  };
  void Keep(std::deque<Answer> answers) {
    std::lock_guard lock(mutex_);
    answers_ = std::move(answers);
    since_ = Clock::now();
  }
  void Drop() {
    std::lock_guard lock(mutex_);
    answers_.clear();
  }
  // The next answer when it is for a conversation on app and topic; else all are dropped.
  std::optional<Answer> Take(const std::string& app, const std::string& topic) {
    std::lock_guard lock(mutex_);
    if (answers_.empty()) return std::nullopt;
    if (Clock::now() - since_ > kAheadLife || answers_.front().app != app ||
        answers_.front().topic != topic) {
      answers_.clear();
      return std::nullopt;
    }
    Answer next = std::move(answers_.front());
    answers_.pop_front();
    return next;
  }

 private:
  std::mutex mutex_;
  std::deque<Answer> answers_;
  Clock::time_point since_;
};

class WineChannel : public Channel {
 public:
  WineChannel(std::shared_ptr<Bridge> bridge, std::shared_ptr<Ahead> ahead)
      : bridge_(std::move(bridge)), ahead_(std::move(ahead)) {}
  ~WineChannel() override { Close(); }

  // What was asked ahead may not hold after this transaction.
  IoStatus Transact(const Frame& frame, Clock::time_point deadline, Frame* reply) override {
    ahead_->Drop();
    bridge_->SetWait(deadline);
    IoStatus st = bridge_->Send(frame, deadline);
    if (st == IoStatus::kOk) st = bridge_->Receive(reply, deadline + kAnswerGrace);
    return Outcome(st, *reply);
  }

  void Close() override {
    if (!bridge_) return;
    if (bridge_->usable()) {
      bridge_->Send(Frame{FrameType::kClose, {}}, Clock::now() + std::chrono::milliseconds(100));
    }
    bridge_->busy = false;
    bridge_.reset();
  }

 private:
  std::shared_ptr<Bridge> bridge_;
  std::shared_ptr<Ahead> ahead_;
};

// A conversation whose request was answered ahead.  Anything else asked on it goes to a
// conversation opened now, as if the server had gone on to answer it there.
class AheadChannel : public Channel {
 public:
  using Opener = std::function<std::unique_ptr<Channel>(Clock::time_point)>;
  AheadChannel(Ahead::Answer answer, Opener open)
      : answer_(std::move(answer)), open_(std::move(open)) {}
  ~AheadChannel() override { Close(); }

  IoStatus Transact(const Frame& frame, Clock::time_point deadline, Frame* reply) override {
    if (!live_ && !used_ && frame.type == FrameType::kRequest && frame.fields[0] == answer_.item) {
      used_ = true;
      *reply = answer_.reply;
      return answer_.status;
    }
    if (!live_) live_ = open_(deadline);
    if (!live_) return IoStatus::kClosed;
    return live_->Transact(frame, deadline, reply);
  }
  void Close() override {
    if (live_) live_->Close();
    live_.reset();
  }

 private:
  Ahead::Answer answer_;
  Opener open_;
  bool used_ = false;
  std::unique_ptr<Channel> live_;
};

class WineTransport : public Transport, public std::enable_shared_from_this<WineTransport> {
 public:
  explicit WineTransport(WineSetup setup) : setup_(std::move(setup)) {}

  // The items' answers come one by one from the bridge (kRequests), which stops where DDE
  // failed; the answers kept are those that came.  Only a bridge that is ready and idle asks.
  void Prefetch(const std::string& app, const std::string& topic,
                const std::vector<std::string>& items, std::chrono::milliseconds wait) override {
    ahead_->Drop();
    std::string joined;
    for (const std::string& item : items) {
      if (item.find('\0') != std::string::npos) return;
      joined += item + '\0';
    }
    std::shared_ptr<Bridge> bridge = ReadyBridge();
    if (items.empty() || !bridge) return;
    bridge->SetWait(Clock::now() + wait);
    std::deque<Ahead::Answer> answers;
    bool whole = bridge->Send(Frame{FrameType::kRequests, {app, topic, joined}},
                              Clock::now() + wait) == IoStatus::kOk;
    for (Frame f; whole;) {
      whole = bridge->Receive(&f, Clock::now() + wait + kAnswerGrace) == IoStatus::kOk;
      if (whole && f.type == FrameType::kAck) break;
      whole = whole && answers.size() < items.size() &&
              (f.type == FrameType::kReply || f.type == FrameType::kRefuse);
      if (whole) {
        answers.push_back({app, topic, items[answers.size()], Outcome(IoStatus::kOk, f), f});
      }
    }
    if (!whole) {
      bridge->Abandon();  // the stream is out of step: nothing of it is used
      answers.clear();
    }
    bridge->busy = false;
    ahead_->Keep(std::move(answers));
  }

  // The bridge starts now; the first conversation waits for it to be ready.
  void Prepare() override {
    std::lock_guard lock(mutex_);
    if (!bridges_.empty() || starting_ || Clock::now() < next_start_) return;
    std::string why;
    starting_ = Bridge::Launch(setup_, &why);
    if (!starting_) Failed(why);  // said by the first conversation
  }

  // A bridge that ended since its last conversation (Wine's server was ended, say) is replaced
  // at once, so that the operation reaches KEP all the same.
  std::unique_ptr<Channel> Open(const std::string& app, const std::string& topic,
                                Clock::time_point deadline) override {
    if (std::optional<Ahead::Answer> answer = ahead_->Take(app, topic)) {
      auto self = shared_from_this();
      return std::make_unique<AheadChannel>(std::move(*answer),
                                            [self, app, topic](Clock::time_point deadline) {
                                              self->ahead_->Drop();
                                              return self->OpenLive(app, topic, deadline);
                                            });
    }
    return OpenLive(app, topic, deadline);
  }

 private:
  std::unique_ptr<Channel> OpenLive(const std::string& app, const std::string& topic,
                                    Clock::time_point deadline) {
    for (int attempt = 0; attempt < 2; ++attempt) {
      std::shared_ptr<Bridge> bridge = ClaimBridge();
      if (!bridge) return nullptr;
      Frame reply;
      if (bridge->Send(Frame{FrameType::kConnect, {app, topic}}, deadline) == IoStatus::kOk &&
          bridge->Receive(&reply, deadline + kAnswerGrace) == IoStatus::kOk &&
          reply.type == FrameType::kAccept) {
        return std::make_unique<WineChannel>(std::move(bridge), ahead_);
      }
      bridge->busy = false;
      if (bridge->usable()) break;  // no server took the topic: nobody answered
    }
    return nullptr;
  }

  // An idle bridge that is ready, claimed; nullptr when there is none.
  std::shared_ptr<Bridge> ReadyBridge() {
    std::lock_guard lock(mutex_);
    for (const auto& b : bridges_) {
      if (!b->busy && b->usable() && !b->Ended()) {
        b->busy = true;
        return b;
      }
    }
    return nullptr;
  }

  std::shared_ptr<Bridge> ClaimBridge() {
    std::string why;
    std::shared_ptr<Bridge> b;
    {
      std::lock_guard lock(mutex_);
      b = IdleBridge(&why);
      if (why == said_) why.clear();
      if (!why.empty()) said_ = why;
      if (b) said_.clear();
    }
    if (!why.empty()) DdeLog("KEP under Wine cannot be reached: " + why);
    return b;
  }

  // A bridge claimed (busy) for the caller: an idle one, else a new one; nullptr with *why.
  std::shared_ptr<Bridge> IdleBridge(std::string* why) {
    std::erase_if(bridges_, [](const auto& b) { return !b->busy && b->Ended(); });
    for (const auto& b : bridges_) {
      if (!b->busy && b->usable()) {
        b->busy = true;
        return b;
      }
    }
    std::shared_ptr<Bridge> b = std::move(starting_);
    if (!b && Clock::now() < next_start_) {
      *why = failed_;  // said already
      return nullptr;
    }
    if (!b) b = Bridge::Launch(setup_, why);
    if (!b) return Failed(*why);
    const auto wait = waited_ ? Clock::now() : Clock::now() + kBridgeStartWait;
    switch (b->AwaitHello(setup_, wait, why)) {
      case Bridge::Hello::kReady:
        b->busy = true;
        bridges_.push_back(b);
        return b;
      case Bridge::Hello::kNotYet:
        // Later conversations look again without waiting, and go on without KEP meanwhile.
        starting_ = std::move(b);
        if (!waited_) {
          *why = "Wine did not start the DDE bridge within " +
                 std::to_string(kBridgeStartWait.count()) +
                 " s (is Wine hanging?); Velmora goes on without KEP";
        }
        waited_ = true;
        return nullptr;
      case Bridge::Hello::kFailed:
        break;
    }
    return Failed(*why);
  }

  // A bridge that cannot start is not started again for a while: each try costs a start of
  // Wine, and a refresh holds hundreds of conversations.
  std::shared_ptr<Bridge> Failed(const std::string& why) {
    failed_ = why;
    next_start_ = Clock::now() + kRestartPause;
    return nullptr;
  }

  WineSetup setup_;
  std::mutex mutex_;
  std::vector<std::shared_ptr<Bridge>> bridges_;
  std::shared_ptr<Bridge> starting_;  // started, and silent so far
  bool waited_ = false;               // a start has had its wait; no other waits
  Clock::time_point next_start_{};    // no start before this, after one failed
  std::string failed_;                // why it failed
  std::string said_;                  // the last reason logged, so that it is said once
  std::shared_ptr<Ahead> ahead_ = std::make_shared<Ahead>();
};

}  // namespace

fs::path FindWine() {
  if (const std::string v = Env("VELMORA_WINE"); !v.empty()) return IsExecutable(v) ? v : "";
  for (const char* name : {"wine64", "wine"}) {
    if (fs::path p = OnPath(name); !p.empty()) return p;
  }
  for (const char* p : {"/usr/lib/wine/wine64", "/usr/lib/wine/wine"}) {
    if (IsExecutable(p)) return p;
  }
  return {};
}

fs::path FindBridge() {
  constexpr const char* kName = "velmora-ddebridge.exe";
  if (const std::string v = Env("VELMORA_DDE_BRIDGE"); !v.empty()) return v;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  std::vector<fs::path> places;
  if (!ec) {
    places.push_back(exe.parent_path() / kName);
    places.push_back(exe.parent_path() / ".." / "lib" / "velmora" / kName);
  }
#ifdef VELMORA_WIN_BUILD_DIR
  places.push_back(fs::path(VELMORA_WIN_BUILD_DIR) / kName);
#endif
  for (const auto& p : places) {
    if (fs::is_regular_file(p, ec)) return p.lexically_normal();
  }
  return {};
}

std::shared_ptr<Transport> MakeWineTransport(WineSetup setup) {
  return std::make_shared<WineTransport>(std::move(setup));
}

std::shared_ptr<Transport> ChooseTransport(const fs::path& prefix, std::string* why) {
  std::string said;
  const std::string forced = Env("VELMORA_DDE_TRANSPORT");
  const bool wine = forced == "wine" || (forced != "socket" && winfs::IsWinePrefix(prefix));
  std::shared_ptr<Transport> chosen;
  if (!wine) {
    chosen = MakeSocketTransport();
  } else {
    WineSetup setup{FindWine(), FindBridge(), prefix};
    if (setup.wine.empty() && forced != "wine") {
      std::string missing = WineSettingProblem();
      if (missing.empty()) missing = "Wine is not installed";
      said = "the prefix " + prefix.string() + " is a Wine prefix, but " + missing +
             ": KEP is looked for on the sockets";
      chosen = MakeSocketTransport();
    } else {
      chosen = MakeWineTransport(std::move(setup));
    }
  }
  if (why) *why = said;
  return chosen;
}

}  // namespace dde

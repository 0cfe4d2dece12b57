// The Wine transport: conversations through the bridge program running under Wine.

#include "platform/dde/WineTransport.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/vbrt/CodePage.h"
#include "platform/winfs/WinFs.h"

namespace dde {
namespace {

namespace fs = std::filesystem;

// The first start of Wine in a prefix may have to update it; later starts take well under 1 s.
constexpr auto kBridgeStartWait = std::chrono::seconds(90);
// The bridge itself waits the link's time for DDE; this much more for its answer to come back.
constexpr auto kAnswerGrace = std::chrono::seconds(2);

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

class Bridge {
 public:
  ~Bridge() { Kill(); }

  // Starts the bridge and waits for its first word; nullptr with *why when it cannot work.
  static std::shared_ptr<Bridge> Start(const WineSetup& setup, std::string* why);

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
  // Claimed under the transport's lock for one conversation; given back by its channel.
  std::atomic<bool> busy = false;

 private:
  void Kill() {
    pipes_.reset();  // the bridge ends at the end of its input
    if (pid_ <= 0) return;
    int st = 0;
    for (int i = 0; i < 20 && ::waitpid(pid_, &st, WNOHANG) == 0; ++i) {
      if (i == 10) ::kill(pid_, SIGTERM);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (::waitpid(pid_, &st, WNOHANG) == 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &st, 0);
    }
    pid_ = -1;
  }

  pid_t pid_ = -1;
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

std::shared_ptr<Bridge> Bridge::Start(const WineSetup& setup, std::string* why) {
  if (setup.wine.empty()) {
    *why = "Wine is not installed (no wine64 or wine found)";
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
  ::fcntl(from[0], F_SETFL, O_NONBLOCK);
  ::fcntl(to[1], F_SETFL, O_NONBLOCK);

  Frame hello;
  const IoStatus st = b->pipes_->Receive(&hello, Clock::now() + kBridgeStartWait);
  if (st == IoStatus::kOk && hello.type == FrameType::kAccept) return b;
  if (st == IoStatus::kOk && hello.type == FrameType::kRefuse) {
    *why = "the DDE bridge cannot work: " + hello.fields[0];
  } else if (st == IoStatus::kTimeout) {
    *why = "the DDE bridge did not start under Wine in time";
  } else {
    *why = "the DDE bridge did not start under " + setup.wine.string() +
           " (is the prefix usable and an X display there?)";
  }
  return nullptr;
}

class WineChannel : public Channel {
 public:
  explicit WineChannel(std::shared_ptr<Bridge> bridge) : bridge_(std::move(bridge)) {}
  ~WineChannel() override { Close(); }

  IoStatus Transact(const Frame& frame, Clock::time_point deadline, Frame* reply) override {
    bridge_->SetWait(deadline);
    IoStatus st = bridge_->Send(frame, deadline);
    if (st == IoStatus::kOk) st = bridge_->Receive(reply, deadline + kAnswerGrace);
    if (st != IoStatus::kOk || reply->type != FrameType::kRefuse) return st;
    if (reply->fields[0] == kReasonTimeout) return IoStatus::kTimeout;
    if (reply->fields[0] == kReasonServerGone) return IoStatus::kClosed;
    return st;
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
};

class WineTransport : public Transport {
 public:
  explicit WineTransport(WineSetup setup) : setup_(std::move(setup)) {}

  std::unique_ptr<Channel> Open(const std::string& app, const std::string& topic,
                                Clock::time_point deadline) override {
    std::shared_ptr<Bridge> bridge = IdleBridge();
    if (!bridge) return nullptr;
    Frame reply;
    if (bridge->Send(Frame{FrameType::kConnect, {app, topic}}, deadline) != IoStatus::kOk ||
        bridge->Receive(&reply, deadline + kAnswerGrace) != IoStatus::kOk ||
        reply.type != FrameType::kAccept) {
      bridge->busy = false;
      return nullptr;  // no server took the topic (or the bridge broke): nobody answered
    }
    return std::make_unique<WineChannel>(std::move(bridge));
  }

 private:
  // A bridge claimed (busy) for the caller: an idle one, else a new one.
  std::shared_ptr<Bridge> IdleBridge() {
    std::lock_guard lock(mutex_);
    std::erase_if(bridges_, [](const auto& b) { return !b->usable() && !b->busy; });
    for (const auto& b : bridges_) {
      if (!b->busy && b->usable()) {
        b->busy = true;
        return b;
      }
    }
    std::string why;
    auto b = Bridge::Start(setup_, &why);
    if (!b) {
      if (why != said_) DdeLog("KEP under Wine cannot be reached: " + why);
      said_ = why;
      return nullptr;
    }
    said_.clear();
    b->busy = true;
    bridges_.push_back(b);
    return b;
  }

  WineSetup setup_;
  std::mutex mutex_;
  std::vector<std::shared_ptr<Bridge>> bridges_;
  std::string said_;  // the last reason logged, so that it is said once
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
      said = "the prefix " + prefix.string() +
             " is a Wine prefix, but Wine is not installed: KEP is looked for on the sockets";
      chosen = MakeSocketTransport();
    } else {
      chosen = MakeWineTransport(std::move(setup));
    }
  }
  if (why) *why = said;
  return chosen;
}

}  // namespace dde

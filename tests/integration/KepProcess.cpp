#include "tests/integration/KepProcess.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

KepProcess::KepProcess(const std::filesystem::path& ddeDir, std::vector<std::string> args,
                       const std::vector<std::string>& launcher) {
  args.insert(args.begin(), {"--dde-dir", ddeDir.string()});
  if (launcher.empty()) {
    args.insert(args.begin(), KEP_EXECUTABLE);
  } else {
    args.insert(args.begin(), launcher.begin(), launcher.end());
  }
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int out[2];
  if (::pipe(out) != 0) throw std::runtime_error("pipe failed");
  pid_ = ForkTiedChild();
  if (pid_ == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::close(out[0]);
    ::close(out[1]);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  stdout_fd_ = out[0];

  std::string seen;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(launcher.empty() ? 10 : 60);
  while (seen.find("ready\n") == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{stdout_fd_, POLLIN, 0};
    char buf[256];
    ssize_t n = 0;
    if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0 ||
        (n = ::read(stdout_fd_, buf, sizeof(buf))) <= 0) {
      Stop();
      throw std::runtime_error("kep did not start: " + seen);
    }
    seen.append(buf, static_cast<std::size_t>(n));
  }
}

pid_t ForkTiedChild() {
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
  }
  return pid;
}

KepProcess::~KepProcess() {
  Stop();
}

int KepProcess::Stop() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int st = 0;
    for (int i = 0; i < 100 && ::waitpid(pid_, &st, WNOHANG) == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      if (i == 99) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &st, 0);
      }
    }
    status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    pid_ = -1;
  }
  if (stdout_fd_ >= 0) ::close(stdout_fd_);
  stdout_fd_ = -1;
  return status_;
}

void KepProcess::Kill() {
  if (pid_ > 0) ::kill(pid_, SIGKILL);
  Stop();
}

std::vector<std::string> ReadLines(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

#pragma once
// Runs the kep stand-in as a child process for a test, on a throw-away DDE folder.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

class KepProcess {
 public:
  // Starts `kep args...` with --dde-dir `ddeDir` and waits (up to 10 s) for "ready".  A
  // launcher (Wine's loader and kep.exe) runs in place of kep, waited for up to 60 s.
  // Raises std::runtime_error when it does not come up.
  KepProcess(const std::filesystem::path& ddeDir, std::vector<std::string> args,
             const std::vector<std::string>& launcher = {});
  ~KepProcess();
  KepProcess(const KepProcess&) = delete;
  KepProcess& operator=(const KepProcess&) = delete;

  // Sends SIGTERM and waits; returns the exit status (128 + signal when killed).
  int Stop();
  // Kills it at once (SIGKILL), as a crash would.
  void Kill();

 private:
  pid_t pid_ = -1;
  int stdout_fd_ = -1;
  int status_ = -1;
};

// Forks a child process that dies with the test (a test that dies must not leave it holding
// the test's output pipe); 0 in the child, the child's pid in the parent.
pid_t ForkTiedChild();

// The lines of a text file (no line ends); empty when missing.
std::vector<std::string> ReadLines(const std::filesystem::path& file);

#pragma once
// The previous-instance test: an exclusive flock on a lock file in the user's
// runtime folder.  The lock belongs to the open file, so the system releases
// it when the process ends, however it ends.

#include <filesystem>
#include <string>

namespace forms {

class SingleInstance {
 public:
  // Lock file <dir>/<name>.lock; dir defaults to RuntimeDir().
  explicit SingleInstance(const std::string& name, std::filesystem::path dir = {});
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock when free.  True when this object holds it (now or before).
  // False when another holder has it, or the lock file cannot be opened.
  bool Acquire();
  // True when another process (or another SingleInstance) holds the lock.
  bool AnotherRunning();
  void Release();

  // $XDG_RUNTIME_DIR, else /tmp/velmora-<uid> (created with mode 0700).
  static std::filesystem::path RuntimeDir();

 private:
  std::filesystem::path file_;
  int fd_ = -1;
};

}  // namespace forms

#include "platform/forms/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace forms {

std::filesystem::path SingleInstance::RuntimeDir() {
  if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && *xdg) return xdg;
  std::filesystem::path dir = "/tmp/velmora-" + std::to_string(::getuid());
  ::mkdir(dir.c_str(), 0700);
  return dir;
}

SingleInstance::SingleInstance(const std::string& name, std::filesystem::path dir) {
  if (dir.empty()) dir = RuntimeDir();
  file_ = dir / (name + ".lock");
}

SingleInstance::~SingleInstance() {
  Release();
}

bool SingleInstance::Acquire() {
  if (fd_ >= 0) return true;
  int fd = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

bool SingleInstance::AnotherRunning() {
  if (fd_ >= 0) return false;
  int fd = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool busy = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);  // closing drops a lock this probe may have taken
  return busy;
}

void SingleInstance::Release() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

}  // namespace forms

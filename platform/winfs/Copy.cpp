// Copying a host file safely: a temporary file in the target folder, renamed into place.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "platform/winfs/Internal.h"

namespace winfs::detail {
namespace {

// Closes a descriptor when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// Copies every byte; returns 0 or an errno.  readFailed tells a read error (the source's)
// from a write error (the target's).
int CopyBytes(int in, int out, bool& readFailed) {
  std::vector<char> buffer(256 * 1024);
  for (;;) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    readFailed = got < 0;
    if (got < 0) return errno;
    if (got == 0) return 0;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(out, buffer.data() + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return errno;
      done += put;
    }
  }
}

// Fills the temporary file from src with src's mode and times; returns 0 or an errno.
int FillTemp(int in, const struct stat& st, int out, bool& readFailed) {
  if (int err = CopyBytes(in, out, readFailed)) return err;
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (::futimens(out, times) != 0) return errno;
  if (::fchmod(out, st.st_mode & 07777) != 0) return errno;
  if (::fsync(out) != 0) return errno;
  return 0;
}

}  // namespace

void CopyHostFile(const fs::path& src, const fs::path& dst) {
  Fd in(::open(src.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) RaiseHost(errno, src);
  struct stat st {};
  if (::fstat(in.get(), &st) != 0) RaiseHost(errno, src);

  std::string tmpName = (dst.parent_path() / ".velmora-copy-XXXXXX").string();
  Fd out(::mkostemp(tmpName.data(), O_CLOEXEC));
  if (out.get() < 0) RaiseHost(errno, dst);

  bool readFailed = false;
  int err = FillTemp(in.get(), st, out.get(), readFailed);
  if (::close(out.release()) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(tmpName.c_str(), dst.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(tmpName.c_str());
    RaiseHost(err, readFailed ? src : dst);
  }
}

}  // namespace winfs::detail

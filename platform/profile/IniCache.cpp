#include "platform/profile/IniCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>

#include "platform/profile/Utf16.h"
#include "platform/vbrt/CodePage.h"

namespace profile::detail {
namespace {

namespace fs = std::filesystem;

// INI files a run reads are few; past this many the cache starts afresh.
constexpr std::size_t kMaxFiles = 16;
// File systems keep modification times in coarse ticks (FAT: 2 s), so a file rewritten in place
// with the same size soon after it was read may keep its stamp.  Until its modification time is
// this far behind the moment it was read, a cached file is read again and compared.
constexpr long long kRacyNs = 2'000'000'000;

struct Stamp {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  long long sec = 0;
  long nsec = 0;
  bool operator==(const Stamp&) const = default;
};

Stamp StampOf(const struct stat& st) {
  return {st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

long long NowNs() {
  timespec ts{};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

struct Entry {
  Stamp stamp;
  long long seenNs = 0;  // when the stamp was taken
  std::size_t hash = 0;  // of the file's bytes
  int codePage = 0;      // its text was read in
  std::shared_ptr<const IniText> ini;

  bool Racy() const { return seenNs - (stamp.sec * 1'000'000'000LL + stamp.nsec) < kRacyNs; }
};

std::size_t HashOf(const std::string& bytes) {
  return std::hash<std::string_view>()(bytes);
}

struct Cache {
  std::mutex mutex;
  std::map<fs::path, Entry> files;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

// A file that is neither UTF-16 nor UTF-8 was written by a Windows program in the ANSI code
// page: its text is read in that code page, once, here.
std::shared_ptr<const IniText> Parse(std::string text, int codePage) {
  if (const Utf16Order order = Utf16OrderOf(text); order != Utf16Order::kNone) {
    text = Utf16ToUtf8(text, order);
  } else if (!vb::IsValidUtf8(text)) {
    text = vb::AnsiToUtf8(text, codePage);
  }
  return std::make_shared<const IniText>(std::move(text));
}

// Reads an open regular file whole; false on a read error.
bool ReadFd(int fd, std::size_t size, std::string& out) {
  out.resize(size);
  std::size_t got = 0;
  for (;;) {
    if (got == out.size()) out.resize(out.size() + 4096);  // grew since fstat
    ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  out.resize(got);
  return true;
}

void Remember(Cache& cache, const fs::path& file, Entry entry) {
  if (cache.files.size() >= kMaxFiles && !cache.files.contains(file)) cache.files.clear();
  cache.files[file] = std::move(entry);
}

}  // namespace

std::shared_ptr<const IniText> CachedText(const fs::path& file) {
  if (file.empty()) return nullptr;
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  const Stamp stamp = StampOf(st);
  const long long seen = NowNs();
  const int codePage = vb::AnsiCodePage();
  Cache& cache = TheCache();
  std::optional<Entry> known;
  {
    std::lock_guard lock(cache.mutex);
    auto it = cache.files.find(file);
    if (it != cache.files.end() && it->second.stamp == stamp && it->second.codePage == codePage) {
      if (!it->second.Racy()) {
        ::close(fd);
        return it->second.ini;
      }
      known = it->second;
    }
  }
  std::string text;
  const bool ok = ReadFd(fd, static_cast<std::size_t>(st.st_size), text);
  ::close(fd);
  if (!ok) return nullptr;
  Entry entry{stamp, seen, HashOf(text), codePage, nullptr};
  entry.ini = known && known->hash == entry.hash ? known->ini : Parse(std::move(text), codePage);
  std::lock_guard lock(cache.mutex);
  Remember(cache, file, entry);
  return entry.ini;
}

void StoreText(const fs::path& file, std::string text) {
  struct stat st {};
  Cache& cache = TheCache();
  if (::stat(file.c_str(), &st) != 0) {
    std::lock_guard lock(cache.mutex);
    cache.files.erase(file);
    return;
  }
  const int codePage = vb::AnsiCodePage();
  Entry entry{StampOf(st), NowNs(), HashOf(text), codePage, nullptr};
  entry.ini = Parse(std::move(text), codePage);
  std::lock_guard lock(cache.mutex);
  Remember(cache, file, std::move(entry));
}

}  // namespace profile::detail

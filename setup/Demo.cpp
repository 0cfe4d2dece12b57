// The demonstration data: KEP's INI file, a report for the KEP stand-in with pictures already
// placed, and a capture folder with camera pictures.

#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "core/modVelmod.h"
#include "platform/winfs/WinFs.h"
#include "setup/Install.h"
#include "setup/Setup.h"

extern char** environ;

namespace setup {

namespace fs = std::filesystem;

namespace {

constexpr const char* kKepIni = "C:\\APPRAISE\\KEP.INI";
constexpr const char* kReportDir = "C:\\KEPDATA\\REPORTS";
constexpr const char* kReportName = "1427MAPLE.ZAP";
constexpr const char* kReportPhotos = "C:\\KEPDATA\\PHOTOS\\1427MAPLE";

bool IsPicture(const fs::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return ext == ".JPG" || ext == ".JPEG" || ext == ".BMP" || ext == ".TIF" || ext == ".TIFF";
}

// The pictures directly in a folder, sorted by name.
std::vector<fs::path> PicturesIn(const fs::path& dir) {
  std::vector<fs::path> pictures;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code fileEc;
    if (it->is_regular_file(fileEc) && IsPicture(it->path())) pictures.push_back(it->path());
  }
  std::sort(pictures.begin(), pictures.end());
  return pictures;
}

// Copies every picture of a host folder into a Windows folder, keeping pictures already there.
void CopyPictures(const fs::path& from, const std::string& winDir, std::ostream& log) {
  EnsureDir(winDir, log);
  std::ostream quiet(nullptr);
  int copied = 0;
  int kept = 0;
  for (const auto& picture : PicturesIn(from)) {
    const std::string target = JoinWin(winDir, picture.filename().string());
    (InstallFile(picture, target, Existing::kKeep, quiet) ? copied : kept) += 1;
  }
  log << "  " << copied << " pictures copied into " << winDir;
  if (kept) log << ", " << kept << " already there";
  log << "\n";
}

// Installs a file unless it is there; says which.
void InstallOnce(const fs::path& source, const std::string& winTarget, std::ostream& log) {
  if (!InstallFile(source, winTarget, Existing::kKeep, log)) log << "  kept " << winTarget << "\n";
}

// Runs demo/make-photos into dir; std::runtime_error when it fails.
void MakePhotos(const fs::path& resources, const fs::path& dir, int count) {
  const std::string script = (resources / "demo" / "make-photos").string();
  const std::string out = dir.string();
  const std::string n = std::to_string(count);
  std::vector<char*> argv = {const_cast<char*>("bash"), const_cast<char*>(script.c_str()),
                             const_cast<char*>(out.c_str()), const_cast<char*>(n.c_str()), nullptr};
  pid_t pid = -1;
  const int rc = ::posix_spawnp(&pid, "bash", nullptr, nullptr, argv.data(), environ);
  if (rc != 0) throw std::runtime_error(std::string("cannot run bash: ") + std::strerror(rc));
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("lost the make-photos process");
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("making the demo photographs failed (" + script + ")");
  }
}

// A temporary folder removed when the object goes.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "velmora-photos-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void InstallPhotos(const fs::path& photos, std::ostream& log) {
  if (PicturesIn(photos).empty()) {
    throw std::runtime_error("no demo pictures in " + photos.string());
  }
  CopyPictures(photos / "placed", kReportPhotos, log);
  CopyPictures(photos, core::defaults::kCaptureDir, log);
}

}  // namespace

void InstallDemo(const Options& options, std::ostream& log) {
  const fs::path demo = options.resources / "demo";
  InstallFile(demo / "KEP.INI", kKepIni, Existing::kKeepOfferNew, log);
  for (const char* dir : {core::defaults::kKepAppDir, core::defaults::kKepDataDir,
                          core::defaults::kKepPrivateDir, kReportDir, kReportPhotos}) {
    EnsureDir(dir, log);
  }
  InstallOnce(demo / kReportName, JoinWin(kReportDir, kReportName), log);

  if (!options.photos.empty()) {
    InstallPhotos(options.photos, log);
    return;
  }
  if (options.photoCount < 0) throw std::runtime_error("the photo count must not be negative");
  TempDir made;
  MakePhotos(options.resources, made.path(), options.photoCount);
  InstallPhotos(made.path(), log);
}

}  // namespace setup

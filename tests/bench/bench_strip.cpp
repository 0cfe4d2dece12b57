// Times the main window's thumbnail strip in the program's own code (headless): the first page
// of a capture folder (listing and twelve thumbnails) and a page turn, at 100 and at 20,000
// pictures, against vipsthumbnail making the same twelve thumbnails (and `find` listing the
// folder for the first page):
//   bench_strip [RUNS]
// The folders are made once under /tmp/velmora-strip-bench and kept: camera-like names, every
// file a hard link to one 640 x 480 JPEG.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/modVelmod.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/HeadlessApp.h"
#include "platform/imaging/Imaging.h"
#include "platform/winfs/WinFs.h"
#include "tests/bench/Timing.h"

namespace fs = std::filesystem;
using bench::Clock;
using bench::Median;
using bench::Seconds;

namespace {

const fs::path kRoot = "/tmp/velmora-strip-bench";

std::string Name(int n) {
  char name[32];
  std::snprintf(name, sizeof name, "IMG_%05d.JPG", n);
  return name;
}

void MakeFolder(const fs::path& folder, int files, const fs::path& picture) {
  if (fs::exists(folder / ".complete")) return;
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (int i = 1; i <= files; ++i) fs::create_hard_link(picture, folder / Name(i));
  std::ofstream(folder / ".complete") << "ok";
}

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// A prefix with the program's files and VELMORA.INI; drive D: holds the picture folders.
void MakePrefix(const fs::path& pics) {
  const fs::path prefix = kRoot / "prefix";
  fs::remove_all(prefix);
  winfs::CreatePrefix(prefix);
  winfs::UsePrefix(prefix);
  winfs::LinkDrive('D', pics);
  const fs::path data = fs::path(VELMORA_SOURCE_DIR) / "tests" / "integration" / "data";
  const fs::path c = prefix / "drive_c";
  Write(c / "APPRAISE" / "KEP.INI", Slurp(data / "KEP.INI"));
  Write(c / "Velmora" / "velmod.dat", Slurp(data / "velmod.dat"));
  Write(c / "Velmora" / "empty.jpg", Slurp(data / "photo.jpg"));
  fs::create_directories(c / "Velmora" / "User");
  Write(c / "APPRAISE" / "VELMORA.INI",
        "[DIRECTORIES]\r\nAPPDIR=C:\\Velmora\r\nUSERDIR=C:\\Velmora\\User\r\n"
        "CAPTUREDIR=D:\\P100\r\n[PREFERENCES]\r\nSCREENSIZE=0\r\n");
  fs::create_directories(kRoot / "dde");
  ::setenv("VELMORA_DDE_DIR", (kRoot / "dde").c_str(), 1);
}

// vipsthumbnail making the twelve thumbnails of a page (and, with `list`, find listing the
// folder first), as a user without the program would.
double Peer(const fs::path& folder, int top, bool list) {
  std::string cmd;
  if (list) {
    cmd = "find '" + folder.string() + "' -maxdepth 1 -type f -iname '*.jpg' > /dev/null && ";
  }
  cmd += "vipsthumbnail -s 80x60 -o '" + (kRoot / "out" / "%s.jpg").string() + "'";
  for (int i = 0; i < 12; ++i) cmd += " '" + (folder / Name(top + i + 1)).string() + "'";
  fs::create_directories(kRoot / "out");
  const auto t = Clock::now();
  if (std::system(cmd.c_str()) != 0) std::exit(1);
  return Seconds(t);
}

struct Result {
  double first = 0, firstPeer = 0, turn = 0, turnPeer = 0;
};

Result Measure(photo_pages::frmMain& f, const std::string& dir, const fs::path& host, int runs) {
  Result r;
  std::vector<double> first, firstPeer, turn, turnPeer;
  for (int run = 0; run < runs; ++run) {
    core::gCaptureDir = dir;
    f.filCapture.SetPath("C:\\");  // a new path: the first page lists the folder afresh
    auto t = Clock::now();
    f.errdisplayThumbs();
    first.push_back(Seconds(t));
    firstPeer.push_back(Peer(host, 0, true));
    const int top = f.filCapture.TopIndex();
    t = Clock::now();
    f.imaScroll[2].UserClick();  // next page
    turn.push_back(Seconds(t));
    turnPeer.push_back(Peer(host, f.filCapture.TopIndex(), false));
    if (f.filCapture.TopIndex() == top) std::exit(2);
  }
  return {Median(first), Median(firstPeer), Median(turn), Median(turnPeer)};
}

void Print(const char* what, int files, double ours, double peer, const char* peerName) {
  std::printf("%-10s %6d files: ours %.4f s   %s %.4f s   ratio %.2f\n", what, files, ours,
              peerName, peer, ours / peer);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  const fs::path pics = kRoot / "pics";
  const fs::path picture = kRoot / "picture.jpg";
  if (!fs::exists(picture)) {
    std::vector<std::uint32_t> px(640 * 480);
    for (std::size_t i = 0; i < px.size(); ++i) px[i] = 0xFF000000u | (i * 2654435761u);
    fs::create_directories(kRoot);
    imaging::SaveJpeg(imaging::Picture::FromPixels(640, 480, std::move(px)), picture, 90);
  }
  MakeFolder(pics / "P100", 100, picture);
  MakeFolder(pics / "P20000", 20000, picture);
  MakePrefix(pics);

  forms::HeadlessApp app;
  app.SetPath("C:\\Velmora");
  core::ResetGlobals();
  photo_pages::frmMain f;
  f.Load();
  const Result small = Measure(f, "D:\\P100\\", pics / "P100", runs);
  const Result large = Measure(f, "D:\\P20000\\", pics / "P20000", runs);
  std::printf(
      "thumbnail strip, medians of %d runs (peer: vipsthumbnail of the same twelve "
      "pictures; first page: find listing the folder too)\n",
      runs);
  Print("first page", 100, small.first, small.firstPeer, "find+vips");
  Print("first page", 20000, large.first, large.firstPeer, "find+vips");
  Print("page turn", 100, small.turn, small.turnPeer, "vips");
  Print("page turn", 20000, large.turn, large.turnPeer, "vips");
  std::printf("page turn at 20000 / at 100: %.2f (target 1.2)\n", large.turn / small.turn);
  return 0;
}

// Times the picture engine on the two jobs the program does most:
//   bench_imaging thumbs OUTDIR FILE...   every file to an 80 x 60 thumbnail (JPEG, Q 75)
//   bench_imaging reduce IN OUT            one picture to at most 800 x 600, saved at Q 95
// Prints the wall time and the peak resident memory of the process.  And on hostile pictures:
//   bench_imaging hostile DIR              makes the corpus in DIR; each file's thumbnail in a
//                                          process of its own on one core, against 1 s, 256 MB
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ImagingCorpus.h"
#include "platform/imaging/Imaging.h"
#include "platform/vbrt/VbError.h"

namespace fs = std::filesystem;

namespace {

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

int Thumbs(const fs::path& outDir, const std::vector<fs::path>& files) {
  std::vector<imaging::ReducedLoad> thumbs = imaging::LoadReducedMany(files, 80, 60);
  int failed = 0;
  for (std::size_t i = 0; i < thumbs.size(); ++i) {
    if (thumbs[i].error != 0) {
      std::fprintf(stderr, "%s: error %d\n", files[i].c_str(), thumbs[i].error);
      ++failed;
      continue;
    }
    imaging::SaveJpeg(thumbs[i].picture, outDir / ("tn_" + files[i].filename().string()), 75);
  }
  return failed;
}

int Reduce(const fs::path& in, const fs::path& out) {
  imaging::PictureInfo info;
  imaging::Picture pic = imaging::LoadReduced(in, 800, 600, &info);
  imaging::SaveJpeg(pic, out, 95);
  std::printf("%dx%d -> %dx%d\n", info.width, info.height, pic.Width(), pic.Height());
  return 0;
}

// One thumbnail in a child process pinned to one core: its error, time and peak memory.
struct Answer {
  int error = -1;
  double ms = 0, cpuMs = 0;  // wall time; time on the core (what a loaded machine leaves out)
  double mb = 0;
};

Answer ThumbnailAlone(const fs::path& file) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one);
    int error = 0;
    try {
      imaging::LoadReduced(file, 80, 60);
    } catch (const vb::VbError& e) {
      error = e.Number();
    }
    _exit(error & 0xFF);
  }
  int status = 0;
  rusage usage{};
  Answer a;
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return a;
  a.ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  a.mb = usage.ru_maxrss / 1024.0;
  a.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
            (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  a.error = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  if (a.error == (481 & 0xFF)) a.error = 481;
  return a;
}

int Hostile(const fs::path& dir) {
  std::printf("making the corpus in %s\n", dir.c_str());
  const std::vector<bench::CorpusFile> corpus = bench::MakeImagingCorpus(dir);
  constexpr double kMaxMs = 1000, kMaxMb = 256;
  int missed = 0;
  std::printf("%-30s %10s %6s %9s %9s %9s\n", "file", "bytes", "error", "wall ms", "cpu ms",
              "peak MB");
  for (const bench::CorpusFile& f : corpus) {
    const Answer a = ThumbnailAlone(dir / f.name);
    const bool ok = f.hostile ? a.error >= 0 && a.cpuMs <= kMaxMs && a.mb <= kMaxMb : a.error == 0;
    missed += !ok;
    std::printf("%-30s %10ju %6d %9.1f %9.1f %9.1f %s\n", f.name.c_str(),
                std::uintmax_t(fs::file_size(dir / f.name)), a.error, a.ms, a.cpuMs, a.mb,
                ok          ? ""
                : f.hostile ? "MISSED 1 s / 256 MB"
                            : "NOT DECODED");
  }
  std::printf("%d of %zu missed\n", missed, corpus.size());
  return missed;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  auto start = std::chrono::steady_clock::now();
  int rc = 2;
  try {
    if (args.size() >= 3 && args[0] == "thumbs") {
      rc = Thumbs(args[1], std::vector<fs::path>(args.begin() + 2, args.end()));
    } else if (args.size() == 3 && args[0] == "reduce") {
      rc = Reduce(args[1], args[2]);
    } else if (args.size() == 2 && args[0] == "hostile") {
      return Hostile(args[1]);
    } else {
      std::fprintf(stderr,
                   "usage: bench_imaging thumbs OUTDIR FILE... | reduce IN OUT | hostile DIR\n");
      return 2;
    }
  } catch (const vb::VbError& e) {
    std::fprintf(stderr, "error %d: %s\n", e.Number(), e.what());
    return 1;
  }
  double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s: %.1f ms, peak RSS %.1f MB\n", args[0].c_str(), ms, PeakRssKb() / 1024.0);
  return rc;
}

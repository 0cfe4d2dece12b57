// Times the picture engine on the two jobs the program does most:
//   bench_imaging thumbs OUTDIR FILE...   every file to an 80 x 60 thumbnail (JPEG, Q 75)
//   bench_imaging reduce IN OUT            one picture to at most 800 x 600, saved at Q 95
// Prints the wall time and the peak resident memory of the process.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

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
    } else {
      std::fprintf(stderr, "usage: bench_imaging thumbs OUTDIR FILE... | reduce IN OUT\n");
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

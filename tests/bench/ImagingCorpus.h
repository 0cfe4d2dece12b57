#pragma once
// The hostile pictures bench_imaging answers: headers that claim far more than their bytes hold,
// and shapes whose decode would cost more than the bytes allow; beside them valid camera-sized
// JPEG-in-TIFF pictures.  Made on the spot with the unit tests' picture writers.

#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct CorpusFile {
  std::string name;
  bool hostile;  // refused or answered within the target; valid ones must decode
};

// Writes the corpus into `dir` and lists it.
std::vector<CorpusFile> MakeImagingCorpus(const std::filesystem::path& dir);

}  // namespace bench

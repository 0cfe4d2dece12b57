// Public entry points: dispatch by format and turn every failure into VbError.

#include "platform/imaging/Imaging.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>

#include "platform/imaging/Detail.h"
#include "platform/imaging/QtImage.h"
#include "platform/vbrt/VbError.h"

namespace imaging {

namespace fs = std::filesystem;
using detail::Format;

namespace {

// Only VbError leaves this layer; anything else becomes `fallback`.
template <class F>
auto Guarded(int fallback, F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const vb::VbError&) {
    throw;
  } catch (const std::bad_alloc&) {
    vb::Raise(vb::kOutOfMemory);
  } catch (...) {
    vb::Raise(fallback);
  }
}

Picture LoadAny(const fs::path& file, int maxW, int maxH, PictureInfo* info) {
  detail::File f = detail::OpenForRead(file);
  switch (detail::Sniff(f.get())) {
    case Format::Jpeg:
      return detail::LoadJpeg(f.get(), maxW, maxH, info);
    case Format::Bmp:
      return detail::LoadBmp(f.get(), maxW, maxH, info);
    case Format::Tiff:
      f.reset();
      return detail::LoadTiff(file, maxW, maxH, info);
    case Format::Unknown:
      break;
  }
  vb::Raise(vb::kInvalidPicture);
}

// About what a reduced decode of the file takes in memory; 0 when the file cannot be read.
std::size_t DecodeMemory(const fs::path& file, int maxW, int maxH) noexcept {
  try {
    detail::File f = detail::OpenForRead(file);
    switch (detail::Sniff(f.get())) {
      case Format::Jpeg:
        return detail::JpegDecodeMemory(f.get(), maxW, maxH);
      case Format::Bmp:
        return detail::BmpDecodeMemory(f.get(), maxW, maxH);
      case Format::Tiff:
        f.reset();
        return detail::TiffDecodeMemory(file);
      case Format::Unknown:
        break;
    }
  } catch (...) {
  }
  return 0;
}

// The memory the decodes of one page may take together.  A decode starts once its share fits
// into what the running ones leave.
class MemoryBudget {
 public:
  explicit MemoryBudget(std::size_t total) : free_(total) {}
  void Take(std::size_t want) {
    std::unique_lock lock(mutex_);
    freed_.wait(lock, [&] { return free_ >= want; });
    free_ -= want;
  }
  void Give(std::size_t n) {
    {
      std::lock_guard lock(mutex_);
      free_ += n;
    }
    freed_.notify_all();
  }

 private:
  std::size_t free_;
  std::mutex mutex_;
  std::condition_variable freed_;
};

}  // namespace

Picture Reduce(const Picture& pic, int maxW, int maxH) {
  int w = 0, h = 0;
  detail::FitInside(pic.Width(), pic.Height(), maxW, maxH, w, h);
  return w == pic.Width() && h == pic.Height() ? pic : Resize(pic, w, h);
}

Size FittedSize(int w, int h, int maxW, int maxH) {
  Size s;
  detail::FitInside(w, h, maxW, maxH, s.width, s.height);
  return s;
}

PictureInfo Probe(const fs::path& file) {
  return Guarded(vb::kInvalidPicture, [&] {
    detail::File f = detail::OpenForRead(file);
    switch (detail::Sniff(f.get())) {
      case Format::Jpeg:
        return detail::ProbeJpeg(f.get());
      case Format::Bmp:
        return detail::ProbeBmp(f.get());
      case Format::Tiff:
        f.reset();
        return detail::ProbeTiff(file);
      case Format::Unknown:
        break;
    }
    vb::Raise(vb::kInvalidPicture);
  });
}

Picture Load(const fs::path& file, PictureInfo* info) {
  return Guarded(vb::kInvalidPicture, [&] { return LoadAny(file, 0, 0, info); });
}

Picture LoadReduced(const fs::path& file, int maxW, int maxH, PictureInfo* info) {
  if (maxW <= 0 || maxH <= 0) vb::Raise(vb::kInvalidPropertyValue);
  return Guarded(vb::kInvalidPicture, [&] { return LoadAny(file, maxW, maxH, info); });
}

std::vector<ReducedLoad> LoadReducedMany(const std::vector<fs::path>& files, int maxW, int maxH) {
  std::vector<ReducedLoad> out(files.size());
  std::atomic<std::size_t> next{0};
  MemoryBudget budget(detail::kDecodeMemoryLimit);
  auto work = [&] {
    for (std::size_t i = next++; i < files.size(); i = next++) {
      const std::size_t share = DecodeMemory(files[i], maxW, maxH);
      if (share > detail::kDecodeMemoryLimit) {  // more than the whole page may take
        out[i].error = vb::kInvalidPicture;
        continue;
      }
      budget.Take(share);
      try {
        out[i].picture = LoadReduced(files[i], maxW, maxH, &out[i].info);
      } catch (const vb::VbError& e) {
        out[i].error = e.Number();
      }
      budget.Give(share);
    }
  };
  std::size_t workers =
      std::min<std::size_t>(files.size(), std::max(1u, std::thread::hardware_concurrency()));
  std::vector<std::thread> threads;
  try {
    for (std::size_t i = 1; i < workers; ++i) threads.emplace_back(work);
  } catch (const std::system_error&) {
    // Fewer threads than hoped: the ones running (and this one) share the work.
  }
  work();
  for (std::thread& t : threads) t.join();
  return out;
}

void SaveJpeg(const Picture& pic, const fs::path& file, int quality) {
  if (quality < 1 || quality > 100) vb::Raise(vb::kInvalidPropertyValue);
  if (pic.IsNull()) vb::Raise(vb::kInvalidPicture);
  Guarded(vb::kDeviceIO, [&] {
    std::vector<unsigned char> bytes;
    detail::EncodeJpeg(pic, quality, bytes);
    detail::WriteFileAtomically(file, bytes);
  });
}

void SaveUprightJpeg(const fs::path& src, const fs::path& dest, int quality) {
  if (quality < 1 || quality > 100) vb::Raise(vb::kInvalidPropertyValue);
  PictureInfo info;
  std::vector<unsigned char> bytes;
  {
    detail::File f = detail::OpenForRead(src);
    if (detail::Sniff(f.get()) != Format::Jpeg) vb::Raise(vb::kInvalidPicture);
    info = Guarded(vb::kInvalidPicture, [&] { return detail::ProbeJpeg(f.get()); });
    bytes = detail::ReadAll(f.get(), std::size_t(1) << 30);
  }
  std::vector<unsigned char> turned;
  if (!Guarded(vb::kInvalidPicture,
               [&] { return detail::TurnJpegLosslessly(bytes, info.orientation, turned); })) {
    SaveJpeg(Load(src), dest, quality);
    return;
  }
  Guarded(vb::kDeviceIO, [&] { detail::WriteFileAtomically(dest, turned); });
}

void SaveBmp(const Picture& pic, const fs::path& file) {
  if (pic.IsNull()) vb::Raise(vb::kInvalidPicture);
  Guarded(vb::kDeviceIO, [&] {
    QImage image = ToQImage(pic).convertToFormat(QImage::Format_RGB32);  // written as 24-bit
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (image.isNull() || !writer.write(image)) vb::Raise(vb::kOutOfMemory);
    detail::WriteFileAtomically(file, std::vector<unsigned char>(data.begin(), data.end()));
  });
}

QImage ToQImage(const Picture& pic) {
  if (pic.IsNull()) return {};
  QImage image(pic.Width(), pic.Height(), QImage::Format_ARGB32);
  if (image.isNull()) return {};
  for (int y = 0; y < pic.Height(); ++y) std::memcpy(image.scanLine(y), pic.Row(y), pic.Stride());
  return image;
}

}  // namespace imaging

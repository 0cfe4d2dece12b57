// Pixel operations: resize (area averaging down, bilinear up), brightness, crop, turning a
// picture upright by its Exif orientation.

#include <algorithm>
#include <cmath>
#include <deque>
#include <utility>

#include "platform/imaging/Detail.h"
#include "platform/vbrt/VbError.h"

namespace imaging {

namespace {

using detail::Axis;

Axis AreaAxis(int src, int dst) {
  Axis axis;
  double scale = double(src) / dst;
  axis.taps = int(std::ceil(scale)) + 1;
  axis.first.resize(dst);
  axis.count.assign(dst, 0);
  axis.weights.assign(std::size_t(dst) * axis.taps, 0.f);
  for (int i = 0; i < dst; ++i) {
    double a = i * scale, b = std::min<double>(src, (i + 1) * scale);
    int s0 = std::min(int(a), src - 1);
    axis.first[i] = s0;
    for (int s = s0, t = 0; s < src && s < b && t < axis.taps; ++s, ++t) {
      double overlap = std::min<double>(b, s + 1) - std::max<double>(a, s);
      axis.weights[std::size_t(i) * axis.taps + t] = float(std::max(0.0, overlap) / (b - a));
      axis.count[i] = t + 1;
    }
  }
  return axis;
}

Axis BilinearAxis(int src, int dst) {
  Axis axis;
  axis.taps = 2;
  axis.first.resize(dst);
  axis.count.assign(dst, src == 1 ? 1 : 2);
  axis.weights.assign(std::size_t(dst) * 2, 0.f);
  for (int i = 0; i < dst; ++i) {
    double centre = (i + 0.5) * src / dst - 0.5;
    int s0 = std::clamp(int(std::floor(centre)), 0, std::max(0, src - 2));
    double frac = src == 1 ? 0.0 : std::clamp(centre - s0, 0.0, 1.0);
    axis.first[i] = s0;
    axis.weights[std::size_t(i) * 2] = float(1.0 - frac);
    axis.weights[std::size_t(i) * 2 + 1] = src == 1 ? 0.f : float(frac);
  }
  return axis;
}

Axis MakeAxis(int src, int dst) {
  return dst < src ? AreaAxis(src, dst) : BilinearAxis(src, dst);
}

// One input row resized horizontally, as four float channels per pixel.
void ResizeRow(const std::uint32_t* in, const Axis& ax, std::vector<float>& out) {
  std::size_t dst = ax.first.size();
  out.assign(dst * 4, 0.f);
  for (std::size_t i = 0; i < dst; ++i) {
    const float* w = &ax.weights[i * ax.taps];
    const std::uint32_t* p = in + ax.first[i];
    float a = 0, r = 0, g = 0, b = 0;
    for (int t = 0; t < ax.count[i]; ++t) {
      std::uint32_t v = p[t];
      a += w[t] * float(v >> 24);
      r += w[t] * float(v >> 16 & 0xFF);
      g += w[t] * float(v >> 8 & 0xFF);
      b += w[t] * float(v & 0xFF);
    }
    float* o = &out[i * 4];
    o[0] = a, o[1] = r, o[2] = g, o[3] = b;
  }
}

std::uint32_t Channel(float v) {
  return std::uint32_t(std::clamp(v + 0.5f, 0.f, 255.f));
}

}  // namespace

Picture Resize(const Picture& pic, int w, int h) {
  if (pic.IsNull()) vb::Raise(vb::kInvalidPicture);
  if (w <= 0 || h <= 0) vb::Raise(vb::kInvalidPropertyValue);
  detail::CheckDimensions(w, h);
  if (w == pic.Width() && h == pic.Height()) return pic;
  detail::RowReducer reducer(pic.Width(), pic.Height(), w, h);
  for (int y = 0; y < pic.Height(); ++y) reducer.Push(pic.Row(y));
  return reducer.Take();
}

namespace detail {

RowReducer::RowReducer(int srcW, int srcH, int dstW, int dstH)
    : srcW_(srcW), srcH_(srcH), dstW_(dstW), dstH_(dstH), same_(srcW == dstW && srcH == dstH) {
  CheckDimensions(srcW, srcH);
  CheckDimensions(dstW, dstH);
  if (same_) {
    out_.reserve(std::size_t(dstW) * std::size_t(dstH));  // filled as the rows come
    return;
  }
  ax_ = MakeAxis(srcW, dstW);
  ay_ = MakeAxis(srcH, dstH);
  out_.resize(std::size_t(dstW) * std::size_t(dstH));
}

void RowReducer::Push(const std::uint32_t* row) {
  if (pushed_ >= srcH_) return;
  const int sy = pushed_++;
  if (same_) {
    out_.insert(out_.end(), row, row + srcW_);
    return;
  }
  window_.emplace_back(sy, std::vector<float>());
  ResizeRow(row, ax_, window_.back().second);
  while (next_ < dstH_ && ay_.first[next_] + ay_.count[next_] - 1 <= sy) Emit(next_++);
  const int keepFrom = next_ < dstH_ ? ay_.first[next_] : pushed_;
  while (!window_.empty() && window_.front().first < keepFrom) window_.pop_front();
}

void RowReducer::Emit(int y) {
  const float* wy = &ay_.weights[std::size_t(y) * ay_.taps];
  const int first = ay_.first[y];
  acc_.assign(std::size_t(dstW_) * 4, 0.f);
  for (int t = 0; t < ay_.count[y]; ++t) {
    const std::vector<float>& row = window_[std::size_t(first + t - window_.front().first)].second;
    for (std::size_t i = 0; i < acc_.size(); ++i) acc_[i] += wy[t] * row[i];
  }
  std::uint32_t* o = out_.data() + std::size_t(y) * dstW_;
  for (int x = 0; x < dstW_; ++x) {
    const float* c = &acc_[std::size_t(x) * 4];
    o[x] = Channel(c[0]) << 24 | Channel(c[1]) << 16 | Channel(c[2]) << 8 | Channel(c[3]);
  }
}

Picture RowReducer::Take() {
  if (pushed_ < srcH_ || (!same_ && next_ < dstH_)) vb::Raise(vb::kInvalidPicture);
  window_.clear();
  return Picture::FromPixels(dstW_, dstH_, std::move(out_));
}

}  // namespace detail

Picture AdjustBrightness(const Picture& pic, int offset) {
  if (offset < -100 || offset > 100) vb::Raise(vb::kInvalidPropertyValue);
  if (pic.IsNull()) vb::Raise(vb::kInvalidPicture);
  if (offset == 0) return pic;
  int delta = (offset * 255 + (offset > 0 ? 50 : -50)) / 100;
  std::uint8_t table[256];
  for (int v = 0; v < 256; ++v) table[v] = std::uint8_t(std::clamp(v + delta, 0, 255));
  std::vector<std::uint32_t> out(std::size_t(pic.Width()) * std::size_t(pic.Height()));
  const std::uint32_t* in = pic.Row(0);
  for (std::size_t i = 0; i < out.size(); ++i) {
    std::uint32_t v = in[i];
    out[i] = (v & 0xFF000000u) | std::uint32_t(table[v >> 16 & 0xFF]) << 16 |
             std::uint32_t(table[v >> 8 & 0xFF]) << 8 | table[v & 0xFF];
  }
  return Picture::FromPixels(pic.Width(), pic.Height(), std::move(out));
}

Picture Crop(const Picture& pic, int x, int y, int w, int h) {
  if (pic.IsNull()) vb::Raise(vb::kInvalidPicture);
  long long x0 = std::max(0, x), y0 = std::max(0, y);
  long long x1 = std::min<long long>(pic.Width(), static_cast<long long>(x) + std::max(0, w));
  long long y1 = std::min<long long>(pic.Height(), static_cast<long long>(y) + std::max(0, h));
  if (x1 <= x0 || y1 <= y0) vb::Raise(vb::kInvalidPropertyValue);
  int cw = int(x1 - x0), ch = int(y1 - y0);
  std::vector<std::uint32_t> out(std::size_t(cw) * std::size_t(ch));
  for (int r = 0; r < ch; ++r)
    std::copy_n(pic.Row(int(y0) + r) + x0, cw, out.data() + std::size_t(r) * cw);
  return Picture::FromPixels(cw, ch, std::move(out));
}

namespace detail {

bool SwapsSides(int orientation) noexcept {
  return orientation >= 5 && orientation <= 8;
}

// Exif orientations: 2 mirrored, 3 turned half round, 4 mirrored top to bottom, 5 mirrored along
// the main diagonal, 6 to be turned a quarter clockwise, 7 the other diagonal, 8 a quarter
// anticlockwise.  Upright pixel (x, y) is stored at (y, x) when the sides swap, each stored
// coordinate counted from its far edge when flipped.
Picture Upright(const Picture& pic, int orientation) {
  if (pic.IsNull() || orientation < 2 || orientation > 8) return pic;
  static constexpr bool kFlipX[9] = {false, false, true, true, false, false, false, true, true};
  static constexpr bool kFlipY[9] = {false, false, false, true, true, false, true, true, false};
  const bool swap = SwapsSides(orientation), flipX = kFlipX[orientation],
             flipY = kFlipY[orientation];
  const int w = pic.Width(), h = pic.Height();
  const int outW = swap ? h : w, outH = swap ? w : h;
  std::vector<std::uint32_t> out(std::size_t(outW) * std::size_t(outH));
  for (int y = 0; y < outH; ++y) {
    std::uint32_t* o = out.data() + std::size_t(y) * outW;
    for (int x = 0; x < outW; ++x) {
      int sx = swap ? y : x, sy = swap ? x : y;
      if (flipX) sx = w - 1 - sx;
      if (flipY) sy = h - 1 - sy;
      o[x] = pic.Row(sy)[sx];
    }
  }
  return Picture::FromPixels(outW, outH, std::move(out));
}

}  // namespace detail

}  // namespace imaging

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

Axis Sized(int dst) {
  Axis axis;
  axis.first.resize(std::size_t(dst));
  axis.count.assign(std::size_t(dst), 0);
  axis.firstWeight.assign(std::size_t(dst), 0.f);
  axis.middleWeight.assign(std::size_t(dst), 0.f);
  axis.lastWeight.assign(std::size_t(dst), 0.f);
  return axis;
}

Axis AreaAxis(int src, int dst) {
  Axis axis = Sized(dst);
  double scale = double(src) / dst;
  for (int i = 0; i < dst; ++i) {
    double a = i * scale, b = std::min<double>(src, (i + 1) * scale);
    int s0 = std::min(int(a), src - 1);
    const int s1 = std::min(src - 1, std::max(s0, int(std::ceil(b)) - 1));
    auto weight = [&](int s) {
      double overlap = std::min<double>(b, s + 1) - std::max<double>(a, s);
      return float(std::max(0.0, overlap) / (b - a));
    };
    axis.first[i] = s0;
    axis.count[i] = s1 - s0 + 1;
    axis.firstWeight[i] = weight(s0);
    axis.middleWeight[i] = float(1.0 / (b - a));
    axis.lastWeight[i] = weight(s1);
  }
  return axis;
}

Axis BilinearAxis(int src, int dst) {
  Axis axis = Sized(dst);
  for (int i = 0; i < dst; ++i) {
    double centre = (i + 0.5) * src / dst - 0.5;
    int s0 = std::clamp(int(std::floor(centre)), 0, std::max(0, src - 2));
    double frac = src == 1 ? 0.0 : std::clamp(centre - s0, 0.0, 1.0);
    axis.first[i] = s0;
    axis.count[i] = src == 1 ? 1 : 2;
    axis.firstWeight[i] = float(1.0 - frac);
    axis.lastWeight[i] = float(frac);
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
    const std::uint32_t* p = in + ax.first[i];
    const int n = ax.count[i];
    float a = 0, r = 0, g = 0, b = 0;
    auto add = [&](float w, std::uint32_t v) {
      a += w * float(v >> 24);
      r += w * float(v >> 16 & 0xFF);
      g += w * float(v >> 8 & 0xFF);
      b += w * float(v & 0xFF);
    };
    add(ax.firstWeight[i], p[0]);
    for (int t = 1; t < n - 1; ++t) add(ax.middleWeight[i], p[t]);
    if (n > 1) add(ax.lastWeight[i], p[n - 1]);
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

RowReducer::RowReducer(int srcW, int srcH, int dstW, int dstH, std::size_t reserve)
    : srcW_(srcW), srcH_(srcH), dstW_(dstW), dstH_(dstH), same_(srcW == dstW && srcH == dstH) {
  CheckDimensions(srcW, srcH);
  CheckDimensions(dstW, dstH);
  if (same_) {
    out_.reserve(std::min(std::size_t(dstW) * std::size_t(dstH), reserve));
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
  ResizeRow(row, ax_, row_);
  if (dstH_ < srcH_) {
    Shrink(sy);
  } else {
    Grow(sy);
  }
}

// Each input row is added, weighed, to the sums of the output rows it belongs to (two at most); an
// output row is written once its last input row came.
void RowReducer::Shrink(int sy) {
  for (; opened_ < dstH_ && ay_.first[std::size_t(opened_)] <= sy; ++opened_) {
    if (spare_.empty()) spare_.emplace_back();
    sums_.push_back(std::move(spare_.back()));
    spare_.pop_back();
    sums_.back().assign(row_.size(), 0.f);
  }
  for (int y = next_; y < opened_; ++y) {
    const float w = ay_.Weight(y, sy - ay_.first[std::size_t(y)]);
    std::vector<float>& sum = sums_[std::size_t(y - next_)];
    for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += w * row_[i];
  }
  while (next_ < opened_ && LastInput(next_) <= sy) {
    Emit(next_++, sums_.front());
    spare_.push_back(std::move(sums_.front()));
    sums_.pop_front();
  }
}

// Growing, an output row blends the input row before and this one, or takes this one alone.
void RowReducer::Grow(int sy) {
  for (; next_ < dstH_ && LastInput(next_) <= sy; ++next_) {
    const std::size_t y = std::size_t(next_);
    blend_.assign(row_.size(), 0.f);
    if (ay_.count[y] > 1) {
      for (std::size_t i = 0; i < blend_.size(); ++i) blend_[i] += ay_.firstWeight[y] * prev_[i];
      for (std::size_t i = 0; i < blend_.size(); ++i) blend_[i] += ay_.lastWeight[y] * row_[i];
    } else {
      for (std::size_t i = 0; i < blend_.size(); ++i) blend_[i] += ay_.firstWeight[y] * row_[i];
    }
    Emit(next_, blend_);
  }
  prev_.swap(row_);
}

int RowReducer::LastInput(int y) const {
  return ay_.first[std::size_t(y)] + ay_.count[std::size_t(y)] - 1;
}

void RowReducer::Emit(int y, const std::vector<float>& sum) {
  std::uint32_t* o = out_.data() + std::size_t(y) * dstW_;
  for (int x = 0; x < dstW_; ++x) {
    const float* c = &sum[std::size_t(x) * 4];
    o[x] = Channel(c[0]) << 24 | Channel(c[1]) << 16 | Channel(c[2]) << 8 | Channel(c[3]);
  }
}

Picture RowReducer::Take() {
  if (pushed_ < srcH_ || (!same_ && next_ < dstH_)) vb::Raise(vb::kInvalidPicture);
  sums_.clear();
  spare_.clear();
  prev_.clear();
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

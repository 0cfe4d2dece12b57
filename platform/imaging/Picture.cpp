// Shared immutable pixel storage.

#include <utility>

#include "platform/imaging/Imaging.h"
#include "platform/imaging/PictureData.h"
#include "platform/vbrt/VbError.h"

namespace imaging {

namespace {
constexpr std::size_t kMaxPixels = 250'000'000;  // 250 megapixels, 1 GB of pixels
}

std::size_t MaxPixels() noexcept {
  return kMaxPixels;
}

bool Picture::IsNull() const noexcept {
  return !d_;
}
int Picture::Width() const noexcept {
  return d_ ? d_->width : 0;
}
int Picture::Height() const noexcept {
  return d_ ? d_->height : 0;
}
std::size_t Picture::Stride() const noexcept {
  return d_ ? std::size_t(d_->width) * 4 : 0;
}

const std::uint32_t* Picture::Row(int y) const noexcept {
  if (!d_ || y < 0 || y >= d_->height) return nullptr;
  return d_->pixels.data() + std::size_t(y) * std::size_t(d_->width);
}

std::uint32_t Picture::Pixel(int x, int y) const noexcept {
  const std::uint32_t* row = Row(y);
  if (!row || x < 0 || x >= d_->width) return 0;
  return row[x];
}

Picture Picture::FromPixels(int w, int h, std::vector<std::uint32_t> px) {
  if (w <= 0 || h <= 0) vb::Raise(vb::kInvalidPropertyValue);
  if (std::size_t(w) * std::size_t(h) > kMaxPixels) vb::Raise(vb::kInvalidPicture);
  if (px.size() != std::size_t(w) * std::size_t(h)) vb::Raise(vb::kInvalidPropertyValue);
  auto data = std::make_shared<PictureData>();
  data->width = w;
  data->height = h;
  data->pixels = std::move(px);
  Picture pic;
  pic.d_ = std::move(data);
  return pic;
}

}  // namespace imaging

#include "platform/qtui/Resizer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qtui {
namespace {

int Scale(int value, double factor) {
  return static_cast<int>(std::lround(static_cast<double>(value) * factor));
}

Geometry Unscale(const Geometry& g, double sx, double sy) {
  return {Scale(g.left, 1.0 / sx), Scale(g.top, 1.0 / sy), Scale(g.width, 1.0 / sx),
          Scale(g.height, 1.0 / sy)};
}

}  // namespace

Resizer::Resizer(int designWidth, int designHeight)
    : designWidth_(std::max(1, designWidth)),
      designHeight_(std::max(1, designHeight)),
      clientWidth_(designWidth_),
      clientHeight_(designHeight_) {}

void Resizer::Add(Item item) {
  Entry entry{std::move(item), {}, {}};
  entry.last = entry.item.get();
  entry.design = Unscale(entry.last, scaleX_, scaleY_);
  items_.push_back(std::move(entry));
}

void Resizer::Relayout(int clientWidth, int clientHeight) {
  if (inLayout_) return;  // a notification handler that resizes the window
  inLayout_ = true;
  const double oldX = scaleX_;
  const double oldY = scaleY_;
  clientWidth_ = std::max(1, clientWidth);
  clientHeight_ = std::max(1, clientHeight);
  scaleX_ = static_cast<double>(clientWidth_) / designWidth_;
  scaleY_ = static_cast<double>(clientHeight_) / designHeight_;
  for (Entry& e : items_) {
    const Geometry now = e.item.get();
    // Code moved the control since the last layout: that is its new design place.
    if (!(now == e.last)) e.design = Unscale(now, oldX, oldY);
    const Geometry next{Scale(e.design.left, scaleX_), Scale(e.design.top, scaleY_),
                        Scale(e.design.width, scaleX_), Scale(e.design.height, scaleY_)};
    if (!(next == now)) e.item.set(next);
    e.last = e.item.get();
  }
  inLayout_ = false;
  if (!onResized || notifying_) return;
  notifying_ = true;
  try {
    onResized();
  } catch (...) {
    notifying_ = false;
    throw;
  }
  notifying_ = false;
}

double Resizer::FontScale() const {
  return std::min(scaleX_, scaleY_);
}

std::optional<int> Resizer::ReadInt(const std::string& key) const {
  if (!store_) return std::nullopt;
  const std::optional<std::string> text = store_->Read(section, key);
  if (!text || text->empty()) return std::nullopt;
  char* end = nullptr;
  const long value = std::strtol(text->c_str(), &end, 10);
  if (end == text->c_str() || *end != '\0' || value < -1000000 || value > 1000000) {
    return std::nullopt;  // a damaged entry counts as none
  }
  return static_cast<int>(value);
}

int Resizer::StoredWidth() const {
  if (auto w = storeSizePosition ? ReadInt("Width") : std::nullopt; w && *w > 0)
    return std::max(*w, minWidth);
  return minWidth > 0 ? minWidth : designWidth_;
}

int Resizer::StoredHeight() const {
  if (auto h = storeSizePosition ? ReadInt("Height") : std::nullopt; h && *h > 0)
    return std::max(*h, minHeight);
  return minHeight > 0 ? minHeight : designHeight_;
}

std::optional<WindowPlacement> Resizer::Load() const {
  if (!store_ || (!storeState && !storeSizePosition)) return std::nullopt;
  WindowPlacement placement;
  bool any = false;
  if (storeSizePosition) {
    const auto left = ReadInt("Left");
    const auto top = ReadInt("Top");
    const auto width = ReadInt("Width");
    const auto height = ReadInt("Height");
    if (left && top && width && height && *width > 0 && *height > 0) {
      placement.bounds =
          Geometry{*left, *top, std::max(*width, minWidth), std::max(*height, minHeight)};
      any = true;
    }
  }
  if (storeState) {
    if (auto state = ReadInt("WindowState"); state && *state >= 0 && *state <= 2) {
      placement.windowState = *state == 2 ? 2 : 0;  // a minimised window comes back normal
      any = true;
    }
  }
  if (!any) return std::nullopt;
  return placement;
}

void Resizer::Save(const WindowPlacement& placement) {
  if (!store_) return;
  if (storeSizePosition && placement.windowState == 0 && placement.bounds) {
    const Geometry& b = *placement.bounds;
    store_->Write(section, "Left", std::to_string(b.left));
    store_->Write(section, "Top", std::to_string(b.top));
    store_->Write(section, "Width", std::to_string(b.width));
    store_->Write(section, "Height", std::to_string(b.height));
  }
  if (storeState) {
    store_->Write(section, "WindowState", std::to_string(placement.windowState == 2 ? 2 : 0));
  }
}

}  // namespace qtui

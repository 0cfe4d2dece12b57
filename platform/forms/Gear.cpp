#include "platform/forms/Gear.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/forms/Design.h"
#include "platform/forms/GearLoad.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace forms {

using namespace design;

Gear::Gear(Form& f, std::string name, int index) : Control(f, kTypeName, std::move(name), index) {}

void Gear::SetThumbPath(std::string p) {
  if (p == thumbPath_) return;
  thumbPath_ = std::move(p);
  Repaint();
}

void Gear::SetRedraw(bool v) {
  redraw_ = v;
  Repaint();
}

void Gear::Repaint() {
  if (redraw_) Notify(Prop::Picture);
}

void Gear::SetImage(imaging::Picture img, bool reduced, std::string hostFile) {
  image_ = std::move(img);
  reduced_ = reduced;
  loadedHostFile_ = std::move(hostFile);
  UpdateDisplay();
}

void Gear::UpdateDisplay() {
  display_ =
      brightness_ == 0 || image_.IsNull() ? image_ : imaging::AdjustBrightness(image_, brightness_);
  Repaint();
}

void Gear::LoadImage(const std::string& winPath) {
  std::filesystem::path host = winfs::ToHost(winPath);
  if (!winfs::FileExists(winPath)) vb::Raise(vb::kFileNotFound);
  imaging::PictureInfo info;
  int maxW = 0, maxH = 0;
  GearLoadLimits(*this, maxW, maxH);
  const bool reduce = maxW >= 0;
  imaging::ReducedLoad ahead;
  imaging::Picture img;
  if (TakePrepared(host, maxW, maxH, ahead)) {
    if (ahead.error != 0) vb::Raise(ahead.error);
    img = std::move(ahead.picture);
    info = ahead.info;
  } else {
    img = reduce ? imaging::LoadReduced(host, maxW, maxH, &info) : imaging::Load(host, &info);
  }
  info_ = info;
  imageWidth_ = info.width;
  imageHeight_ = info.height;
  pictureSource_ = winPath;
  selection_ = {};
  bool reduced = reduce && (img.Width() != info.width || img.Height() != info.height);
  SetImage(std::move(img), reduced, host.string());
}

void GearLoadLimits(const Gear& gear, int& maxW, int& maxH) {
  maxW = -1;
  maxH = 0;
  if (gear.AutoReduce() != 0 && gear.AutoResizeX() > 0 && gear.AutoResizeY() > 0) {
    gear.ReducedLoadSize(gear.AutoResizeX(), gear.AutoResizeY(), maxW, maxH);
  }
}

void Gear::ReducedLoadSize(int autoX, int autoY, int& w, int& h) const {
  constexpr int kTwipsPerPixel = 15;
  w = std::max(autoX, (Width() + kTwipsPerPixel - 1) / kTwipsPerPixel);
  h = std::max(autoY, (Height() + kTwipsPerPixel - 1) / kTwipsPerPixel);
}

void Gear::PrepareLoad(const std::string& winPath, int maxW, int maxH,
                       imaging::ReducedLoad decoded) {
  prepared_.reset();
  std::error_code ec;
  PreparedLoad p;
  p.host = winfs::ToHost(winPath);
  p.size = std::filesystem::file_size(p.host, ec);
  if (ec) return;
  p.written = std::filesystem::last_write_time(p.host, ec);
  if (ec) return;
  p.maxW = maxW;
  p.maxH = maxH;
  p.decoded = std::move(decoded);
  prepared_ = std::move(p);
}

bool Gear::TakePrepared(const std::filesystem::path& host, int maxW, int maxH,
                        imaging::ReducedLoad& out) {
  std::optional<PreparedLoad> p = std::exchange(prepared_, std::nullopt);
  if (!p || p->host != host || p->maxW != maxW || p->maxH != maxH) return false;
  std::error_code ec;
  if (std::filesystem::file_size(host, ec) != p->size || ec) return false;
  if (std::filesystem::last_write_time(host, ec) != p->written || ec) return false;
  out = std::move(p->decoded);
  return true;
}

StdPicture Gear::Picture() const {
  return image_.IsNull() ? StdPicture() : StdPicture(image_, pictureSource_);
}

void Gear::SetPicture(const StdPicture& p) {
  info_ = {};
  selection_ = {};
  if (p.Empty()) {
    pictureSource_.clear();
    imageWidth_ = imageHeight_ = 0;
    SetImage({}, false, {});
    return;
  }
  pictureSource_ = p.Source();
  imageWidth_ = p.Width();
  imageHeight_ = p.Height();
  std::string host;
  if (!p.Source().empty() && p.Source().rfind("res:", 0) != 0) {
    try {
      host = winfs::ToHost(p.Source()).string();
      info_ = imaging::Probe(host);
    } catch (const vb::VbError&) {
      host.clear();
      info_ = {};
    }
  }
  info_.width = imageWidth_;
  info_.height = imageHeight_;
  SetImage(p.Image(), false, host);
}

void Gear::ClearImage() {
  display_ = {};
  selection_ = {};
  Repaint();
}

void Gear::DelImage() {
  image_ = {};
  reduced_ = false;
  loadedHostFile_.clear();
  pictureSource_.clear();
  info_ = {};
  imageWidth_ = imageHeight_ = 0;
  ClearImage();
}

void Gear::SetDisplayStretch(bool v) {
  displayStretch_ = v;
  Repaint();
}

void Gear::SetDisplayKeepShape(bool v) {
  displayKeepShape_ = v;
  Notify(Prop::Picture);
}

void Gear::SetBrightness(int v) {
  if (v < -100 || v > 100) vb::Raise(vb::kInvalidPropertyValue);
  if (v == brightness_) return;
  brightness_ = v;
  UpdateDisplay();
}

// The full-size picture: after a reduced load the file is decoded again.
imaging::Picture Gear::FullImage() const {
  if (image_.IsNull()) vb::Raise(vb::kInvalidPicture);
  if (!reduced_) return image_;
  return imaging::Load(loadedHostFile_);
}

void Gear::ApplyResize() {
  if (newWidth_ < 1 || newHeight_ < 1) vb::Raise(vb::kInvalidPropertyValue);
  imaging::Picture full = FullImage();
  imaging::Picture img = imaging::Resize(full, newWidth_, newHeight_);
  imageWidth_ = img.Width();
  imageHeight_ = img.Height();
  info_.width = imageWidth_;
  info_.height = imageHeight_;
  SetImage(std::move(img), false, {});
}

void Gear::SetSaveFormat(int f) {
  if (f != kGearBmp && f != kGearJpeg) vb::Raise(vb::kInvalidPropertyValue);
  saveFormat_ = f;
}

void Gear::SetSaveQuality(int q) {
  if (q < 1 || q > 100) vb::Raise(vb::kInvalidPropertyValue);
  saveQuality_ = q;
}

void Gear::SetSaveBrightness(int v) {
  if (v < -100 || v > 100) vb::Raise(vb::kInvalidPropertyValue);
  saveBrightness_ = v;
}

void Gear::SaveImage(const std::string& winPath) {
  imaging::Picture img = FullImage();
  if (saveBrightness_ != 0) img = imaging::AdjustBrightness(img, saveBrightness_);
  std::filesystem::path host = winfs::ToHost(winPath);
  if (saveFormat_ == kGearJpeg)
    imaging::SaveJpeg(img, host, saveQuality_);
  else
    imaging::SaveBmp(img, host);
}

void Gear::SetRubberBand(bool on) {
  rubberBand_ = on;
  Notify(Prop::Selection);
}

void Gear::ClearSelection() {
  if (selection_.Empty()) return;
  selection_ = {};
  Notify(Prop::Selection);
}

void Gear::SetCropRect(int left, int top, int right, int bottom) {
  crop_ = {left, top, right, bottom};
}

void Gear::ApplyCrop() {
  SelectionRect r = Normalized(crop_);
  if (r.Empty()) vb::Raise(vb::kInvalidPropertyValue);
  imaging::Picture full = FullImage();
  imaging::Picture img = imaging::Crop(full, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
  imageWidth_ = img.Width();
  imageHeight_ = img.Height();
  info_.width = imageWidth_;
  info_.height = imageHeight_;
  selection_ = {};
  SetImage(std::move(img), false, {});
}

SelectionRect Gear::Normalized(SelectionRect r) const {
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return r;
}

void Gear::UserSetSelection(const SelectionRect& r) {
  if (!rubberBand_) return;
  selection_ = Normalized(r);
  Notify(Prop::Selection);
}

SelectionRect Gear::DraggedBand(int x0, int y0, int x1, int y1) const {
  if (keepProportions_ && imageWidth_ > 0 && imageHeight_ > 0) {
    const bool down = y1 >= y0;
    const long long room = std::max(0, down ? imageHeight_ - y0 : y0);
    long long w = std::abs(x1 - x0);
    long long h = w * imageHeight_ / imageWidth_;
    if (h > room) {
      h = room;
      w = h * imageWidth_ / imageHeight_;
    }
    x1 = x0 + static_cast<int>(x1 >= x0 ? w : -w);
    y1 = y0 + static_cast<int>(down ? h : -h);
  }
  return Normalized({x0, y0, x1, y1});
}

void Gear::UserSelectionDone(const SelectionRect& r) {
  if (!rubberBand_ || !Enabled()) return;
  const SelectionRect n = Normalized(r);
  const SelectionRect s = DraggedBand(n.Left, n.Top, n.Right, n.Bottom);
  selection_ = s;
  Notify(Prop::Selection);
  AsUser([&] { SelectionDone(s.Left, s.Top, s.Right, s.Bottom); });
}

bool Gear::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "DisplayStretch"))
    SetDisplayStretch(Bool(value));
  else if (KeyIs(key, "DisplayKeepShape"))
    SetDisplayKeepShape(Bool(value));
  else if (KeyIs(key, "AutoResizeX"))
    SetAutoResizeX(Int(value));
  else if (KeyIs(key, "AutoResizeY"))
    SetAutoResizeY(Int(value));
  else if (KeyIs(key, "AutoReduce"))
    SetAutoReduce(Int(value));
  else if (KeyIs(key, "SaveQuality"))
    SetSaveQuality(Int(value));
  else if (KeyIs(key, "SaveFormat"))
    SetSaveFormat(Int(value));
  else if (KeyIs(key, "Picture"))
    SetPicture(design::Picture(value));
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

void Gear::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const Gear*>(&model)) {
    displayStretch_ = m->displayStretch_;
    displayKeepShape_ = m->displayKeepShape_;
    autoResizeX_ = m->autoResizeX_;
    autoResizeY_ = m->autoResizeY_;
    autoReduce_ = m->autoReduce_;
    saveQuality_ = m->saveQuality_;
    saveFormat_ = m->saveFormat_;
  }
}

void Gear::ReleaseResources() {
  prepared_.reset();
  image_ = {};
  display_ = {};
  reduced_ = false;
}

}  // namespace forms

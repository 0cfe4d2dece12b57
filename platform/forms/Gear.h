#pragma once
// The imaging control: shows a picture file (reduced for display when asked),
// reports its size, resizes, previews brightness, crops with a rubber-band
// selection and saves JPEG.  Picture work is platform/imaging's; paths are
// Windows paths (winfs).
//
// Two pictures are kept: the loaded image (full size, or the reduced copy made
// by a load with AutoResizeX/Y and AutoReduce) and what is displayed (the
// loaded image with the brightness preview).  ImageWidth/ImageHeight are the
// picture's true pixel size (the file's size after a reduced load).  SaveImage
// writes the full-size picture: after a reduced load it decodes the file again.
//
// Renderer: DisplayImage() is what to draw; DisplayStretch() says whether to
// stretch it to the control (with DisplayKeepShape fitted inside it, centred,
// with its shape kept), else it is drawn at its size at the top-left.
// RubberBand() on: let the user drag a rectangle (keep the image's shape when
// KeepProportions(): DraggedBand) and call UserSetSelection while dragging and
// UserSelectionDone at release, in image pixels.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/forms/Control.h"
#include "platform/imaging/Imaging.h"

namespace forms {

enum GearSaveFormat : int { kGearBmp = 0, kGearJpeg = 21 };

struct SelectionRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;  // image pixels, right/bottom exclusive
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool operator==(const SelectionRect&) const = default;
};

class Gear : public Control {
 public:
  static constexpr const char* kTypeName = "Gear";
  Gear(Form& f, std::string name, int index = -1);

  // ---- the file shown
  const std::string& ThumbPath() const { return thumbPath_; }
  // Only records the path (as the control's property does); loading is
  // LoadImage or Picture.
  void SetThumbPath(std::string p);

  // ---- loading
  int AutoResizeX() const { return autoResizeX_; }
  int AutoResizeY() const { return autoResizeY_; }
  void SetAutoResizeX(int px) { autoResizeX_ = px < 0 ? 0 : px; }
  void SetAutoResizeY(int px) { autoResizeY_ = px < 0 ? 0 : px; }
  // 0 loads at full size; any other value (the program uses 3) reduces to fit
  // AutoResizeX x AutoResizeY while loading, keeping the shape.
  int AutoReduce() const { return autoReduce_; }
  void SetAutoReduce(int v) { autoReduce_ = v; }
  // While Redraw is False the control's picture changes are not shown; True shows them again.
  void SetRedraw(bool v);
  // Loads a picture file.  Errors: 53/76/71/68 path, 481 not a picture; the
  // control keeps its old picture on an error.
  void LoadImage(const std::string& winPath);
  // The size a reduced load decodes to for the given AutoResize limits: never
  // smaller than the control's own size on screen (15 twips to the pixel), so
  // that a picture stretched over a large control stays sharp.
  void ReducedLoadSize(int autoX, int autoY, int& w, int& h) const;
  // A picture decoded ahead of time (a page of thumbnails is decoded in
  // parallel): the next LoadImage of this file, reduced to maxW x maxH, takes
  // it (or raises its error) instead of decoding, provided the file has not
  // changed since.  The next LoadImage drops it in any case.
  void PrepareLoad(const std::string& winPath, int maxW, int maxH, imaging::ReducedLoad decoded);
  // The Picture property: the displayed picture object.  Setting an empty
  // picture clears the display; a loaded picture becomes the image.
  StdPicture Picture() const;
  void SetPicture(const StdPicture& p);
  // Discards the displayed picture (ClearImage = True).
  void ClearImage();
  // Discards the loaded image as well (DelImage = True).
  void DelImage();
  bool HasImage() const { return !image_.IsNull(); }

  // ---- information
  int ImageWidth() const { return imageWidth_; }
  int ImageHeight() const { return imageHeight_; }
  // Before a load these only record a size; the load replaces them.
  void SetImageWidth(int px) { imageWidth_ = px; }
  void SetImageHeight(int px) { imageHeight_ = px; }
  int BitsPerPixel() const { return info_.bitsPerPixel; }
  std::string FormatText() const { return info_.formatText.empty() ? "Unknown" : info_.formatText; }
  std::string CompressionText() const {
    return info_.compressionText.empty() ? "Unknown" : info_.compressionText;
  }

  // ---- display
  bool DisplayStretch() const { return displayStretch_; }
  void SetDisplayStretch(bool v);
  bool DisplayKeepShape() const { return displayKeepShape_; }
  void SetDisplayKeepShape(bool v);
  // Brightness preview of the display, -100..100 (else 380).
  int Brightness() const { return brightness_; }
  void SetBrightness(int v);
  const imaging::Picture& DisplayImage() const { return display_; }

  // ---- resize
  int NewWidth() const { return newWidth_; }
  int NewHeight() const { return newHeight_; }
  void SetNewWidth(int px) { newWidth_ = px; }
  void SetNewHeight(int px) { newHeight_ = px; }
  // Resizes the full-size image to NewWidth x NewHeight (each side on its own).
  // No image: 481; a size below 1: 380.
  void ApplyResize();

  // ---- save
  int SaveFormat() const { return saveFormat_; }
  void SetSaveFormat(int f);  // 0 BMP or 21 JPEG, else 380
  int SaveQuality() const { return saveQuality_; }
  void SetSaveQuality(int q);  // 1..100 else 380
  // Brightness offset applied to the next saves, -100..100.
  void SetSaveBrightness(int v);
  // Writes the full-size image in SaveFormat.  No image: 481.
  void SaveImage(const std::string& winPath);

  // ---- rubber-band selection and crop
  bool RubberBand() const { return rubberBand_; }
  void SetRubberBand(bool on);
  bool KeepProportions() const { return keepProportions_; }
  void SetKeepProportions(bool on) { keepProportions_ = on; }
  const SelectionRect& Selection() const { return selection_; }
  // The band the user drags from (x0, y0) to (x1, y1), normalized; with
  // KeepProportions it has the image's shape, grows from the press point
  // and stays inside the image.
  SelectionRect DraggedBand(int x0, int y0, int x1, int y1) const;
  bool SelectionVisible() const { return !selection_.Empty(); }
  // "Selection display off": removes a drawn selection.
  void ClearSelection();
  const SelectionRect& CropRect() const { return crop_; }
  void SetCropRect(int left, int top, int right, int bottom);
  // Crops the image to CropRect (clipped).  Empty: 380; no image: 481.
  void ApplyCrop();

  // Raised when the user releases the mouse after dragging a selection.
  Event<int /*Left*/, int /*Top*/, int /*Right*/, int /*Bottom*/> SelectionDone;

  // ---- user input
  void UserSetSelection(const SelectionRect& r);
  // Ends the drag: sets the selection (shaped like the image when
  // KeepProportions) and raises SelectionDone.  Ignored when RubberBand is off.
  void UserSelectionDone(const SelectionRect& r);

  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;
  void ReleaseResources() override;

 private:
  imaging::Picture FullImage() const;
  void SetImage(imaging::Picture img, bool reduced, std::string hostFile);
  void UpdateDisplay();
  // Tells the observers the picture changed, unless Redraw holds it back.
  void Repaint();
  SelectionRect Normalized(SelectionRect r) const;

  struct PreparedLoad {
    std::filesystem::path host;
    int maxW = 0, maxH = 0;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written{};
    imaging::ReducedLoad decoded;
  };
  // The prepared decode of `host` at maxW x maxH, when it is still the file's.
  bool TakePrepared(const std::filesystem::path& host, int maxW, int maxH,
                    imaging::ReducedLoad& out);

  std::optional<PreparedLoad> prepared_;
  std::string thumbPath_;
  int autoResizeX_ = 0, autoResizeY_ = 0, autoReduce_ = 0;
  bool redraw_ = true;
  imaging::Picture image_;
  bool reduced_ = false;
  std::string loadedHostFile_;
  std::string pictureSource_;
  imaging::PictureInfo info_;
  imaging::Picture display_;
  int imageWidth_ = 0, imageHeight_ = 0;
  bool displayStretch_ = false;
  bool displayKeepShape_ = false;
  int brightness_ = 0;
  int newWidth_ = 0, newHeight_ = 0;
  int saveFormat_ = kGearJpeg;
  int saveQuality_ = 75;
  int saveBrightness_ = 0;
  bool rubberBand_ = false;
  bool keepProportions_ = false;
  SelectionRect selection_;
  SelectionRect crop_;
};

}  // namespace forms

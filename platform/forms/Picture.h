#pragma once
// StdPicture: the picture object of Image controls, icons, drag icons and the
// imaging control's Picture property.  Copies share the pixels.

#include <filesystem>
#include <string>

#include "platform/imaging/Imaging.h"

namespace forms {

class StdPicture {
 public:
  StdPicture() = default;  // the empty picture (LoadPicture(""))
  StdPicture(imaging::Picture image, std::string source)
      : image_(std::move(image)), source_(std::move(source)) {}

  bool Empty() const { return image_.IsNull(); }
  int Width() const { return image_.Width(); }  // pixels
  int Height() const { return image_.Height(); }
  const imaging::Picture& Image() const { return image_; }
  // Where it came from: a Windows path, or "res:" and a path under the resources folder.
  const std::string& Source() const { return source_; }

 private:
  imaging::Picture image_;
  std::string source_;
};

// LoadPicture(winPath): "" gives the empty picture; raises 53/76/71 for a missing
// file or drive and 481 for a file that is not a picture.
StdPicture LoadPicture(const std::string& winPath = {});

// The folder of window layouts, button pictures and drag icons:
// $VELMORA_RESOURCES when set, else the source tree's resources folder.
std::filesystem::path ResourceDir();

// A picture shipped with the program, named relative to ResourceDir()
// ("buttons/trash.bmp").  Raises like LoadPicture.
StdPicture LoadResourcePicture(const std::string& relPath);

}  // namespace forms

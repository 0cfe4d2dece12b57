#include "platform/qtui/Pixmaps.h"

#include "platform/imaging/QtImage.h"

namespace qtui {

QPixmap ToPixmap(const forms::StdPicture& picture) {
  if (picture.Empty()) return {};
  return QPixmap::fromImage(imaging::ToQImage(picture.Image()));
}

}  // namespace qtui

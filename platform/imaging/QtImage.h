#pragma once
// Bridge for the renderer: a QImage sharing nothing with the picture (deep copy).

#include <QImage>

#include "platform/imaging/Imaging.h"

namespace imaging {

QImage ToQImage(const Picture& pic);

}  // namespace imaging

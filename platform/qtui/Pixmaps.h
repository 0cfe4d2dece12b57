#pragma once
// Pictures of the form runtime as Qt pixmaps.

#include <QPixmap>

#include "platform/forms/Picture.h"

namespace qtui {

QPixmap ToPixmap(const forms::StdPicture& picture);

}  // namespace qtui

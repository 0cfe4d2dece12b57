#pragma once
// VB OLE colours (0x00BBGGRR, or 0x800000nn for a system colour) as QColor.

#include <QColor>
#include <cstdint>

namespace qtui {

QColor ToQColor(std::uint32_t oleColor);

}  // namespace qtui

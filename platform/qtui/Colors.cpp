#include "platform/qtui/Colors.h"

#include <QApplication>
#include <QPalette>

namespace qtui {
namespace {

// Windows system colour indexes (COLOR_*) mapped to the palette.
QColor SystemColor(unsigned index) {
  const QPalette pal = QApplication::palette();
  switch (index) {
    case 5:  // window background
      return pal.color(QPalette::Base);
    case 8:   // window text
    case 18:  // button text
    case 7:   // menu text
      return pal.color(QPalette::Text);
    case 13:  // highlight
      return pal.color(QPalette::Highlight);
    case 14:  // highlight text
      return pal.color(QPalette::HighlightedText);
    case 17:  // grey text
      return pal.color(QPalette::Disabled, QPalette::Text);
    case 16:  // button shadow
      return pal.color(QPalette::Dark);
    case 20:  // button highlight
      return pal.color(QPalette::Light);
    case 24:  // tooltip
      return pal.color(QPalette::ToolTipBase);
    case 1:  // desktop
      return QColor(0, 128, 128);
    // The caption colours have no palette role: Windows' standard scheme.
    case 2:  // active title bar
      return QColor(0, 0, 128);
    case 3:   // inactive title bar
    case 11:  // inactive border
      return QColor(128, 128, 128);
    case 9:  // title bar text
      return QColor(255, 255, 255);
    case 19:  // inactive title bar text
      return QColor(192, 192, 192);
    case 6:   // window frame
    case 21:  // 3D dark shadow
      return QColor(0, 0, 0);
    case 23:  // tooltip text
      return pal.color(QPalette::ToolTipText);
    case 12:  // application workspace
      return QColor(128, 128, 128);
    default:  // 15 button face, 4 menu, and the rest
      return pal.color(QPalette::Button);
  }
}

}  // namespace

QColor ToQColor(std::uint32_t ole) {
  if (ole & 0x80000000u) return SystemColor(ole & 0xFFu);
  return QColor(static_cast<int>(ole & 0xFF), static_cast<int>((ole >> 8) & 0xFF),
                static_cast<int>((ole >> 16) & 0xFF));
}

}  // namespace qtui

#include "platform/qtui/Units.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace qtui {

double TwipsPerPixel() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
  if (dpi < 24.0 || dpi > 960.0) return 15.0;  // nonsense report: assume 96 dpi
  return 1440.0 / dpi;
}

int TwipsPerPixelInt() {
  return static_cast<int>(std::lround(TwipsPerPixel()));
}

int TwipsToPixels(int twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / TwipsPerPixel()));
}

int PixelsToTwips(int pixels) {
  return static_cast<int>(std::lround(static_cast<double>(pixels) * TwipsPerPixel()));
}

QRect TwipsToRect(int left, int top, int width, int height) {
  const int x = TwipsToPixels(left);
  const int y = TwipsToPixels(top);
  // Right and bottom edges are rounded separately so that adjacent controls stay adjacent.
  const int r = TwipsToPixels(left + width);
  const int b = TwipsToPixels(top + height);
  return QRect(x, y, std::max(0, r - x), std::max(0, b - y));
}

}  // namespace qtui

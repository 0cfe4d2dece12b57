#pragma once
// Twips <-> pixels.  A twip is 1/1440 inch; at the screen's logical DPI of 96
// one pixel is 15 twips, at 120 DPI 12 twips.

#include <QRect>

namespace qtui {

// 1440 / logical DPI of the primary screen; 15 when no screen is known.
double TwipsPerPixel();
// Rounded to whole twips, as VB's Screen.TwipsPerPixelX reports it.
int TwipsPerPixelInt();

int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);
QRect TwipsToRect(int left, int top, int width, int height);

}  // namespace qtui

#pragma once

#include <QRect>
#include <QSize>

namespace ampero {

// Window designs are written in twips (1/1440 inch); these turn them into pixels with the
// primary screen's logical DPI, 15 twips to a pixel at 96 DPI.
int twipsToPixels(int twips);
QSize twipsSize(int width, int height);
QRect twipsRect(int left, int top, int width, int height);

} // namespace ampero

#include "twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace ampero {

namespace {
constexpr double twipsPerInch = 1440.0;
}

int twipsToPixels(int twips)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dotsPerInch = screen ? screen->logicalDotsPerInchX() : 96.0;
    return qRound(twips * dotsPerInch / twipsPerInch);
}

QSize twipsSize(int width, int height)
{
    return {twipsToPixels(width), twipsToPixels(height)};
}

QRect twipsRect(int left, int top, int width, int height)
{
    return {QPoint(twipsToPixels(left), twipsToPixels(top)), twipsSize(width, height)};
}

} // namespace ampero

#pragma once

namespace ampero {

// Window designs are written in twips, 1/1440 inch: 15 twips to a pixel at 96 DPI. The
// backend turns them into pixels once, with the dots per inch of the window's screen.
inline constexpr double twipsPerInch = 1440.0;

constexpr int twipsToPixels(int twips, double dotsPerInch)
{
    const double pixels = twips * dotsPerInch / twipsPerInch;
    return static_cast<int>(pixels < 0 ? pixels - 0.5 : pixels + 0.5);
}

} // namespace ampero

#pragma once

// The fonts the controls are drawn in: the design names a face and a size, and the backend
// takes the first installed face in which every text fits the box it was designed for,
// at the window's DPI.

#include "forms.h"
#include "win32_handles.h"

#include <string>
#include <vector>

namespace ampero::win32 {

// A text that has to fit a box of so many pixels, less a margin on each side.
struct TextInBox
{
    std::u16string text;
    SIZE box;
    SIZE margin;
    UINT drawFormat; // DrawTextW's flags: one line or word-wrapped, "&" shown or not
};

FontHandle fittingFont(const Font &font, UINT dpi, const std::vector<TextInBox> &texts);

} // namespace ampero::win32

#include "fonts_win32.h"

#include "dpi_win32.h"

#include <cmath>

namespace ampero::win32 {

namespace {

// The forms' own font: the classic dialog face, then faces of about its width that every
// system since has had, and the metric twin of Arial where only free fonts are installed.
constexpr double formPoints = 8;
const std::vector<std::u16string> formFaces = {u"Microsoft Sans Serif", u"MS Sans Serif", u"Tahoma",
                                               u"Arial", u"Liberation Sans"};
// The smallest size a text is shrunk to when no face fits at the designed size.
constexpr double smallestPoints = 6;

struct Substitutes
{
    std::u16string face;
    std::vector<std::u16string> substitutes;
};
// Faces that look most like a designed face that isn't installed, before the forms' faces.
const std::vector<Substitutes> designFaceSubstitutes = {
    {u"Comic Sans MS", {u"Comic Neue"}},
};

const wchar_t *wide(const std::u16string &text)
{
    return reinterpret_cast<const wchar_t *>(text.c_str());
}

int CALLBACK noteFamily(const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found)
{
    *reinterpret_cast<bool *>(found) = true;
    return 0;
}

bool installed(HDC context, const std::u16string &face)
{
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(reinterpret_cast<char16_t *>(wanted.lfFaceName), LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(context, &wanted, noteFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

struct Candidate
{
    LOGFONTW font;
    std::vector<std::u16string> faces; // tried in order, each in the font's size and weight
};

Candidate candidate(const Font &font, UINT dpi)
{
    const auto heightFor = [dpi](double points) {
        return -static_cast<LONG>(std::lround(points * dpi / 72.0));
    };
    Candidate result{};
    result.font.lfCharSet = DEFAULT_CHARSET;
    result.font.lfQuality = DEFAULT_QUALITY;
    switch (font.kind) {
    case Font::Kind::SystemDialog:
        result.font = messageFont(dpi);
        result.faces = {reinterpret_cast<const char16_t *>(result.font.lfFaceName)};
        result.faces.insert(result.faces.end(), formFaces.begin(), formFaces.end());
        break;
    case Font::Kind::Named:
        result.font.lfHeight = heightFor(font.points);
        result.font.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
        result.faces = {font.face};
        for (const Substitutes &entry : designFaceSubstitutes)
            if (entry.face == font.face)
                result.faces.insert(result.faces.end(), entry.substitutes.begin(),
                                    entry.substitutes.end());
        result.faces.insert(result.faces.end(), formFaces.begin(), formFaces.end());
        break;
    case Font::Kind::Form:
        result.font.lfHeight = heightFor(formPoints);
        result.font.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
        result.faces = formFaces;
        break;
    }
    return result;
}

FontHandle create(LOGFONTW font, const std::u16string &face)
{
    face.copy(reinterpret_cast<char16_t *>(font.lfFaceName), LF_FACESIZE - 1);
    font.lfFaceName[std::min<std::size_t>(face.size(), LF_FACESIZE - 1)] = L'\0';
    return FontHandle(CreateFontIndirectW(&font));
}

bool fits(HDC context, HFONT font, const std::vector<TextInBox> &texts)
{
    const Selection selected(context, font);
    for (const TextInBox &text : texts) {
        const LONG width = text.box.cx - 2 * text.margin.cx;
        const LONG height = text.box.cy - 2 * text.margin.cy;
        RECT needed{0, 0, width, 0};
        // An empty text still takes one line's height.
        const std::u16string measured = text.text.empty() ? u" " : text.text;
        DrawTextW(context, wide(measured), static_cast<int>(measured.size()), &needed,
                  text.drawFormat | DT_CALCRECT);
        if (needed.right - needed.left > width || needed.bottom - needed.top > height)
            return false;
    }
    return true;
}

} // namespace

FontHandle fittingFont(const Font &font, UINT dpi, const std::vector<TextInBox> &texts)
{
    const ScreenContext context(GetDC(nullptr));
    const Candidate wanted = candidate(font, dpi);
    std::vector<std::u16string> installedFaces;
    for (const std::u16string &face : wanted.faces) {
        if (!installed(context.get(), face))
            continue;
        installedFaces.push_back(face);
        FontHandle handle = create(wanted.font, face);
        if (handle && fits(context.get(), handle.get(), texts))
            return handle;
    }
    // No face fits at the designed size: the first installed one, a pixel smaller at a
    // time, down to the smallest legible size.
    const std::u16string face =
        installedFaces.empty() ? wanted.faces.front() : installedFaces.front();
    const LONG smallest = std::lround(smallestPoints * dpi / 72.0);
    LOGFONTW smaller = wanted.font;
    while (-smaller.lfHeight > smallest) {
        ++smaller.lfHeight;
        FontHandle handle = create(smaller, face);
        if (handle && fits(context.get(), handle.get(), texts))
            return handle;
    }
    return create(smaller, face);
}

} // namespace ampero::win32

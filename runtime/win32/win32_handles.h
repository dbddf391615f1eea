#pragma once

// Owners of the system's handles: each destroys its handle when it goes.

#include <memory>
#include <windows.h>

namespace ampero::win32 {

struct WindowDestroyer
{
    void operator()(HWND window) const { DestroyWindow(window); }
};
using WindowHandle = std::unique_ptr<HWND__, WindowDestroyer>;

struct MenuDestroyer
{
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<HMENU__, MenuDestroyer>;

template <class Handle> struct GdiObjectDeleter
{
    void operator()(Handle object) const { DeleteObject(object); }
};
using FontHandle = std::unique_ptr<HFONT__, GdiObjectDeleter<HFONT>>;
using PenHandle = std::unique_ptr<HPEN__, GdiObjectDeleter<HPEN>>;
using BitmapHandle = std::unique_ptr<HBITMAP__, GdiObjectDeleter<HBITMAP>>;

struct IconDestroyer
{
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using IconHandle = std::unique_ptr<HICON__, IconDestroyer>;

// A device context of the screen, for measuring text.
struct ScreenContextReleaser
{
    void operator()(HDC context) const { ReleaseDC(nullptr, context); }
};
using ScreenContext = std::unique_ptr<HDC__, ScreenContextReleaser>;

struct MemoryContextDeleter
{
    void operator()(HDC context) const { DeleteDC(context); }
};
using MemoryContext = std::unique_ptr<HDC__, MemoryContextDeleter>;

// Selects a font, pen or bitmap into a device context for as long as it lives.
class Selection
{
public:
    Selection(HDC context, HGDIOBJ object)
        : context_(context), previous_(SelectObject(context, object))
    {
    }
    ~Selection() { SelectObject(context_, previous_); }
    Selection(const Selection &) = delete;
    Selection &operator=(const Selection &) = delete;

private:
    HDC context_;
    HGDIOBJ previous_;
};

} // namespace ampero::win32

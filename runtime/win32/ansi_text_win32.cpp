// Text through the active ANSI code page, as the system's ANSI calls take and give it.

#include "ansi_text.h"

#include <windows.h>

namespace ampero {

std::string toAnsi(const std::u16string &text)
{
    if (text.empty())
        return {};
    const auto *wide = reinterpret_cast<const wchar_t *>(text.data());
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, length, result.data(), size, nullptr, nullptr);
    return result;
}

std::u16string fromAnsi(const std::string &text)
{
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::u16string result(static_cast<std::size_t>(size), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, reinterpret_cast<wchar_t *>(result.data()),
                        size);
    return result;
}

} // namespace ampero

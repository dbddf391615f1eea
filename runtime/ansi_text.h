#pragma once

#include <string>

namespace ampero {

// Text through the system's ANSI code page, as the registry's ANSI calls take and give it.
// On Windows that is the active code page; elsewhere the locale's encoding. Backend.
std::string toAnsi(const std::u16string &text);
std::u16string fromAnsi(const std::string &text);

} // namespace ampero

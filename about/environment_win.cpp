#include "environment.h"
#include "platform_errors.h"

#include <windows.h>

namespace ampero::sysinfo {

std::string expandEnvironmentStrings(const std::string &text)
{
    std::string expanded(text.size() + 1, '\0');
    for (;;) {
        // The ANSI call wants room for one character more than it reports needing.
        const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), expanded.data(),
                                                       static_cast<DWORD>(expanded.size()));
        if (needed == 0)
            throw invalidArgument();
        if (needed < expanded.size()) {
            expanded.resize(std::char_traits<char>::length(expanded.c_str()));
            return expanded;
        }
        expanded.assign(needed + 1, '\0');
    }
}

} // namespace ampero::sysinfo

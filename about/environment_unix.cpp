#include "environment.h"

#include <cstdlib>

namespace ampero::sysinfo {

namespace {

// getenv matches a name with "=" in it against a prefix of some variable, and one with a
// NUL against what comes before it: neither can be a variable's name.
bool isVariableName(const std::string &name)
{
    return !name.empty() && name.find_first_of(std::string("=\0", 2)) == std::string::npos;
}

} // namespace

std::string expandEnvironmentStrings(const std::string &text)
{
    std::string expanded;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t opening = text.find('%', position);
        const std::size_t closing =
            opening == std::string::npos ? std::string::npos : text.find('%', opening + 1);
        if (closing == std::string::npos) {
            expanded.append(text, position);
            break;
        }
        expanded.append(text, position, opening - position);
        const std::string name = text.substr(opening + 1, closing - opening - 1);
        const char *value = isVariableName(name) ? std::getenv(name.c_str()) : nullptr;
        if (value)
            expanded.append(value);
        else
            expanded.append(text, opening, closing - opening + 1);
        position = closing + 1;
    }
    return expanded;
}

} // namespace ampero::sysinfo

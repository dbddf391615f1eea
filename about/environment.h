#pragma once

#include <string>

namespace ampero::sysinfo {

// Replaces each %NAME% in text with the value of the environment variable NAME, as
// ExpandEnvironmentStrings does for REG_EXPAND_SZ values. A reference to a variable that
// is not set is left as it stands.
std::string expandEnvironmentStrings(const std::string &text);

} // namespace ampero::sysinfo

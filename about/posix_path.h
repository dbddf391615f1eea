#pragma once

#include <algorithm>
#include <string>

namespace ampero::sysinfo {

// Paths written for Windows name folders with backslashes; on POSIX they are slashes.
inline std::string posixPath(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

} // namespace ampero::sysinfo

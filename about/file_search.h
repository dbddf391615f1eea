#pragma once

#include <string>

namespace ampero::sysinfo {

// Looks for one file, as the runtime's Dir does with the attribute value 0.
class FileSearch
{
public:
    virtual ~FileSearch() = default;

    // The name of the file, without its folder, if path names a normal file: one that is
    // neither hidden nor a folder (nor, on Windows, a system file). "" if there is none.
    // A path that can't be searched raises a RunError. On POSIX a backslash in the path
    // separates folders as a slash does, and a name starting with "." is hidden.
    virtual std::string findNormalFile(const std::string &path) = 0;
};

FileSearch &hostFileSearch();

} // namespace ampero::sysinfo

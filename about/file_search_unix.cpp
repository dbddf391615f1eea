#include "file_search.h"
#include "platform_errors.h"
#include "posix_path.h"

#include <cerrno>
#include <sys/stat.h>

namespace ampero::sysinfo {

namespace {

class PosixFileSearch final : public FileSearch
{
public:
    std::string findNormalFile(const std::string &path) override
    {
        if (path.empty() || path.find('\0') != std::string::npos)
            throw badFileName();
        const std::string native = posixPath(path);
        struct stat status
        {
        };
        if (::stat(native.c_str(), &status) != 0) {
            switch (errno) {
            case ENOENT:
            case ENOTDIR:
                return {};
            case ENAMETOOLONG:
                throw badFileName();
            default: // a folder that can't be searched, a loop of links, a failing disk
                throw pathAccessError();
            }
        }
        const std::string name = native.substr(native.rfind('/') + 1);
        if (!S_ISREG(status.st_mode) || name.starts_with('.'))
            return {};
        return name;
    }
};

} // namespace

FileSearch &hostFileSearch()
{
    static PosixFileSearch search;
    return search;
}

} // namespace ampero::sysinfo

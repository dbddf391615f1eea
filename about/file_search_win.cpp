#include "file_search.h"
#include "platform_errors.h"

#include <windows.h>

namespace ampero::sysinfo {

namespace {

constexpr DWORD notNormal =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

class Win32FileSearch final : public FileSearch
{
public:
    std::string findNormalFile(const std::string &path) override
    {
        if (path.empty() || path.find('\0') != std::string::npos)
            throw badFileName();
        WIN32_FIND_DATAA found{};
        const HANDLE search = FindFirstFileA(path.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            switch (GetLastError()) {
            case ERROR_FILE_NOT_FOUND:
            case ERROR_PATH_NOT_FOUND:
            case ERROR_NO_MORE_FILES:
            case ERROR_DIRECTORY: // a file where the path has a folder
                return {};
            case ERROR_INVALID_NAME:
            case ERROR_BAD_PATHNAME:
            case ERROR_FILENAME_EXCED_RANGE:
                throw badFileName();
            default:
                throw pathAccessError();
            }
        }
        // A pattern with wildcards may match other entries before a normal file.
        std::string name;
        do {
            if ((found.dwFileAttributes & notNormal) == 0) {
                name = found.cFileName;
                break;
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return name;
    }
};

} // namespace

FileSearch &hostFileSearch()
{
    static Win32FileSearch search;
    return search;
}

} // namespace ampero::sysinfo

#include "stand_in_registry.h"
#include "system_information.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace ampero::sysinfo {

namespace {

bool isProgramFile(const std::string &path)
{
    struct stat status
    {
    };
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> findProgram(std::string_view name, std::string_view searchPath)
{
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        const std::size_t end = std::min(searchPath.find(':', start), searchPath.size());
        const std::string_view folder = searchPath.substr(start, end - start);
        start = end + 1;
        // Only absolute folders name a program wherever Ampero runs; a backslash would be
        // read back as a folder separator.
        if (!folder.starts_with('/') || folder.find('\\') != std::string_view::npos)
            continue;
        std::string candidate(folder);
        if (!candidate.ends_with('/'))
            candidate += '/';
        candidate += name;
        if (isProgramFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

} // namespace

MemoryRegistry standInRegistry(std::string_view searchPath)
{
    MemoryRegistry hive;
    for (std::string_view program : systemInformationPrograms) {
        if (const std::optional<std::string> found = findProgram(program, searchPath)) {
            hive.setString(hkeyLocalMachine, msinfoKey, msinfoPathValue, *found);
            break;
        }
    }
    return hive;
}

Registry &hostRegistry()
{
    // Filled on first use, not at start-up: only the System Information button needs it.
    static MemoryRegistry hive = [] {
        const char *searchPath = std::getenv("PATH");
        return standInRegistry(searchPath ? searchPath : "");
    }();
    return hive;
}

} // namespace ampero::sysinfo

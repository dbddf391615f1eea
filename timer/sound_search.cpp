#include "sound_search.h"

#include <system_error>

namespace ampero {

namespace fs = std::filesystem;

fs::path installedDataFolder()
{
    return fs::path(AMPERO_INSTALLED_DATA_FOLDER);
}

std::vector<fs::path> soundFolders(const fs::path &executable, const fs::path &dataFolder)
{
    std::vector<fs::path> folders{fs::path(".")};
    if (executable.empty())
        return folders;
    const fs::path programFolder = executable.parent_path();
    folders.push_back(programFolder);
    folders.push_back((programFolder / dataFolder).lexically_normal());
    return folders;
}

fs::path runningExecutable()
{
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : executable;
}

std::optional<fs::path> findSoundFile(const std::string &fileName,
                                      const std::vector<fs::path> &folders)
{
    const fs::path name(fileName);
    std::error_code error;
    if (name.has_parent_path()) {
        if (fs::is_regular_file(name, error))
            return name;
        return std::nullopt;
    }
    for (const fs::path &folder : folders) {
        fs::path candidate = folder / name;
        if (fs::is_regular_file(candidate, error))
            return candidate;
    }
    return std::nullopt;
}

} // namespace ampero

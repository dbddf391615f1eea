#include "sound_search.h"

#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace ampero {

namespace fs = std::filesystem;

namespace {

// Whether the path belongs to the user or root and no one else may write to it.
bool ownedAndUnshared(const fs::path &path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && (status.st_uid == geteuid() || status.st_uid == 0) &&
           (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A file in a folder others may write (/tmp, a shared folder, a removable disk) could
// have been put there by anyone, a silent one included.
bool onlyTheUserCouldHavePlaced(const fs::path &file)
{
    return ownedAndUnshared(file) && ownedAndUnshared(file.parent_path());
}

} // namespace

fs::path installedDataFolder()
{
    return fs::path(AMPERO_INSTALLED_DATA_FOLDER);
}

std::vector<SoundFolder> soundFolders(const fs::path &executable, const fs::path &dataFolder)
{
    std::vector<SoundFolder> folders{{fs::path("."), false}};
    if (executable.empty())
        return folders;
    const fs::path programFolder = executable.parent_path();
    folders.push_back({programFolder, true});
    folders.push_back({(programFolder / dataFolder).lexically_normal(), true});
    return folders;
}

fs::path runningExecutable()
{
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : executable;
}

std::optional<fs::path> findSoundFile(const std::string &fileName,
                                      const std::vector<SoundFolder> &folders)
{
    const fs::path name(fileName);
    std::error_code error;
    if (name.has_parent_path()) {
        if (fs::is_regular_file(name, error))
            return name;
        return std::nullopt;
    }
    for (const SoundFolder &folder : folders) {
        fs::path candidate = folder.path / name;
        if (fs::is_regular_file(candidate, error) &&
            (folder.programsOwn || onlyTheUserCouldHavePlaced(candidate)))
            return candidate;
    }
    return std::nullopt;
}

} // namespace ampero

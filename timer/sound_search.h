#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ampero {

// Where the installed program's data files are, relative to the folder of its executable:
// the build's data directory seen from its program directory ("../share/ampero" for
// PREFIX/bin and PREFIX/share).
std::filesystem::path installedDataFolder();

// A folder a sound file is looked for in. A file in one of the program's own folders is
// taken as it is: whoever may change it may change the program too. Elsewhere a file is
// taken only if no one but the user (or root) could have put it there or changed it.
struct SoundFolder
{
    std::filesystem::path path;
    bool programsOwn;
};

// The folders a sound file named without a folder is looked for in, in order: the
// current directory, the executable's own folder (the data folder in the build tree), then
// the installed data folder, given relative to the executable's folder.
std::vector<SoundFolder>
soundFolders(const std::filesystem::path &executable,
             const std::filesystem::path &dataFolder = installedDataFolder());

// The running program's executable, or an empty path when it can't be told.
std::filesystem::path runningExecutable();

// The first regular file named fileName in the folders, in their order, that its folder
// lets be taken. A name with a folder in it is taken as it stands.
std::optional<std::filesystem::path> findSoundFile(const std::string &fileName,
                                                   const std::vector<SoundFolder> &folders);

} // namespace ampero

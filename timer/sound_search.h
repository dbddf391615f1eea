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

// The folders a sound file named without a folder is looked for in, in order: the
// current directory, the executable's own folder (the data folder in the build tree), then
// the installed data folder, given relative to the executable's folder.
std::vector<std::filesystem::path>
soundFolders(const std::filesystem::path &executable,
             const std::filesystem::path &dataFolder = installedDataFolder());

// The running program's executable, or an empty path when it can't be told.
std::filesystem::path runningExecutable();

// The first regular file named fileName in the folders, in their order. A name with a
// folder in it is taken as it stands.
std::optional<std::filesystem::path>
findSoundFile(const std::string &fileName, const std::vector<std::filesystem::path> &folders);

} // namespace ampero

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ampero {

// The folders a sound file named without a folder is looked for in, in order: the
// current directory, then the program's data folder, which is the executable's own folder
// in the build tree and PREFIX/share/ampero once installed as PREFIX/bin/ampero.
std::vector<std::filesystem::path> soundFolders(const std::filesystem::path &executable);

// The running program's executable, or an empty path when it can't be told.
std::filesystem::path runningExecutable();

// The first regular file named fileName in the folders, in their order. A name with a
// folder in it is taken as it stands.
std::optional<std::filesystem::path>
findSoundFile(const std::string &fileName, const std::vector<std::filesystem::path> &folders);

} // namespace ampero

#pragma once

#include "memory_registry.h"

#include <array>
#include <string_view>

namespace ampero::sysinfo {

// Where there is no Windows registry, a hive in memory stands in for the part of it that
// the System Information launcher reads.

// Programs that show what the machine is made of, in order of preference.
inline constexpr std::array<std::string_view, 4> systemInformationPrograms = {
    "hardinfo2", "hardinfo", "kinfocenter", "lshw-gtk"};

// The stand-in hive: under HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Shared Tools\MSINFO", a
// REG_SZ "PATH" naming the first of those programs found in the folders of searchPath (a
// list like the PATH variable's); nothing at all if none is found.
MemoryRegistry standInRegistry(std::string_view searchPath);

} // namespace ampero::sysinfo

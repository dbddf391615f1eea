#pragma once

#include "file_search.h"
#include "launcher.h"
#include "registry.h"

#include <functional>
#include <string>

namespace ampero::sysinfo {

// Where Windows records its System Information program: the program file itself, or else
// the folder that holds MSINFO32.EXE.
inline constexpr char msinfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char msinfoPathValue[] = "PATH";
inline constexpr char sharedToolsLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr char msinfoFolderValue[] = "MSINFO";
inline constexpr char msinfoProgramName[] = "\\MSINFO32.EXE";

inline constexpr char systemInformationUnavailable[] =
    "System Information Is Unavailable At This Time";

// Reads the value SubKeyRef of the key KeyRoot\KeyName as text into KeyVal and returns
// true. The key is opened for reading only. REG_SZ gives its text, REG_EXPAND_SZ its text
// with the environment references expanded, REG_DWORD the value as unsigned decimal digits.
// A key or value that can't be read, or a value of any other type, gives false and "".
// A value that reports no data at all raises RunError 5, and a REG_DWORD of more than four
// bytes RunError 6. The key is closed on every way out.
bool GetKeyValue(Registry &registry, RootKey KeyRoot, const std::string &KeyName,
                 const std::string &SubKeyRef, std::string &KeyVal);

using ShowMessage = std::function<void(const std::string &text)>;

// Finds the System Information program through the registry and starts it, or shows the
// message that it is unavailable. No error leaves it: every one ends in the message.
void StartSysInfo(Registry &registry, FileSearch &fileSearch, Launcher &launcher,
                  const ShowMessage &showMessage);

} // namespace ampero::sysinfo

#include "launcher.h"
#include "platform_errors.h"

#include <windows.h>

namespace ampero::sysinfo {

namespace {

// The full path of the folder that holds the file at path, with a trailing backslash, or
// "" when the path names no file.
std::string folderOf(const std::string &path)
{
    char full[MAX_PATH];
    char *name = nullptr;
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, &name);
    if (length == 0 || length >= MAX_PATH || name == nullptr)
        return {};
    return std::string(full, name);
}

class Win32Launcher final : public Launcher
{
public:
    void startProgram(const std::string &path) override
    {
        if (path.empty() || path.find('\0') != std::string::npos)
            throw invalidArgument();
        // The program is named by lpApplicationName, which is never split at blanks; the
        // command line, which the program reads as its argument 0, quotes it.
        std::string commandLine = '"' + path + '"';
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        // It starts in its own folder, not in whatever folder Ampero was started from, and
        // inherits none of Ampero's handles.
        const std::string folder = folderOf(path);
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                throw fileNotFound();
            throw invalidArgument();
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
};

} // namespace

Launcher &hostLauncher()
{
    static Win32Launcher launcher;
    return launcher;
}

} // namespace ampero::sysinfo

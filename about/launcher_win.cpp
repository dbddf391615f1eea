#include "launcher.h"
#include "platform_errors.h"

#include <windows.h>

namespace ampero::sysinfo {

namespace {

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
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process)) {
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

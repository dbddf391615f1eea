// The program's entry on Windows: a Unicode GUI program (linked with -municode -mwindows),
// which starts the forms runtime with the program's start window.

#include "forms.h"

#include <string>
#include <vector>
#include <windows.h>

namespace {

// DLLs the program loads by name come from the system folder only, never from the
// program's folder or the current one. Older systems without the call search as before.
void loadLibrariesFromSystemFolderOnly()
{
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI *)(DWORD);
    const FARPROC address =
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
            reinterpret_cast<void (*)()>(address)))
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

std::string utf8(const wchar_t *text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    loadLibrariesFromSystemFolderOnly();
    // The command line as UTF-8, as the start-up takes it on every system.
    std::vector<std::string> arguments;
    for (int index = 0; index < __argc; ++index)
        arguments.push_back(utf8(__wargv[index]));
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return ampero::runApplication(__argc, argv.data(), ampero::showStartWindow);
}

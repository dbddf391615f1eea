// A stand-in for the program that tests start: it leaves a marker file beside itself,
// named after its own file with ".started" added, holding the command line it was given and
// the folder it was started in.
// The marker appears complete: it is written under another name and then renamed.
#include <string>
#include <windows.h>

int main()
{
    char path[MAX_PATH];
    if (GetModuleFileNameA(nullptr, path, MAX_PATH) == 0)
        return 1;
    const std::string marker = std::string(path) + ".started";
    const std::string unfinished = std::string(path) + ".starting";
    const HANDLE file = CreateFileA(unfinished.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    const std::string commandLine = GetCommandLineA() + std::string(" in ") + folder;
    DWORD written = 0;
    WriteFile(file, commandLine.data(), static_cast<DWORD>(commandLine.size()), &written, nullptr);
    CloseHandle(file);
    return MoveFileExA(unfinished.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

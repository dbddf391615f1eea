// StartSysInfo end to end on the system's registry, file search and process creation: the
// registry values it reads are written here, and the programs it may start are copies of
// ampero_win_probe.exe, which leave a marker file when they run.
#include "file_search.h"
#include "launcher.h"
#include "registry.h"
#include "system_information.h"
#include "win_test_support.h"

#include <doctest/doctest.h>
#include <string>
#include <vector>

using namespace ampero::sysinfo;
using namespace ampero::wintest;

namespace {

const std::string programs = "C:\\Ampero Test Programs";
const std::string program = programs + "\\System Info.exe";
// Where a command line split at its first blank would look for a program.
const std::string planted = "C:\\Ampero.exe";
const std::string toolsFolder = programs + "\\Tools Location";
const std::string emptyFolder = programs + "\\Empty Folder";
const std::string hiddenFolder = programs + "\\Hidden";
const std::string systemFolder = programs + "\\System";
const std::string folderFolder = programs + "\\Folder";
const std::string msinfoProgram = "\\MSINFO32.EXE";

std::string markerOf(const std::string &path)
{
    return path + ".started";
}

// Every program that a case could start.
const std::vector<std::string> probes = {program, planted, toolsFolder + msinfoProgram,
                                         hiddenFolder + msinfoProgram,
                                         systemFolder + msinfoProgram};

// A copy of the probe; attributes, if given, are added to the copy's.
void copyProbe(const std::string &to, DWORD attributes = 0)
{
    const std::string probe = ownFolder() + "\\ampero_win_probe.exe";
    REQUIRE(CopyFileA(probe.c_str(), to.c_str(), FALSE));
    const DWORD copied = GetFileAttributesA(to.c_str());
    REQUIRE(SetFileAttributesA(to.c_str(), copied | attributes));
    const DWORD notNormal = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    REQUIRE((GetFileAttributesA(to.c_str()) & notNormal) == attributes);
}

void createPrograms()
{
    for (const std::string &folder :
         {programs, toolsFolder, emptyFolder, hiddenFolder, systemFolder, folderFolder})
        CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folderFolder + msinfoProgram).c_str(), nullptr);
    copyProbe(program);
    copyProbe(planted);
    copyProbe(toolsFolder + msinfoProgram);
    copyProbe(hiddenFolder + msinfoProgram, FILE_ATTRIBUTE_HIDDEN);
    copyProbe(systemFolder + msinfoProgram, FILE_ATTRIBUTE_SYSTEM);
}

enum class Stored { Nothing, Text, Expandable, Binary, NoData, TooLong };

struct Setting
{
    Stored stored;
    std::string text;
};

void store(const std::string &keyPath, const std::string &name, const Setting &setting)
{
    switch (setting.stored) {
    case Stored::Nothing:
        deleteValue(keyPath, name);
        break;
    case Stored::Text:
        writeText(keyPath, name, setting.text);
        break;
    case Stored::Expandable:
        writeText(keyPath, name, setting.text, REG_EXPAND_SZ);
        break;
    case Stored::Binary:
        writeValue(keyPath, name, REG_BINARY, setting.text.data(),
                   static_cast<DWORD>(setting.text.size()));
        break;
    case Stored::NoData:
        writeValue(keyPath, name, REG_SZ, nullptr, 0);
        break;
    case Stored::TooLong:
        writeText(keyPath, name, std::string(1024, 'x'));
        break;
    }
}

} // namespace

TEST_CASE("StartSysInfo starts the program the registry names, or says it can't")
{
    createPrograms();
    SetEnvironmentVariableA("AMPERO_TEST_PROGRAMS", programs.c_str());

    const Setting nothing{Stored::Nothing, ""};
    const Setting tools{Stored::Text, toolsFolder};
    struct Case
    {
        std::string description;
        Setting path;
        Setting folder;
        std::string expectedProgram; // "" when the message is expected
    };
    const Case cases[] = {
        {"PATH names a program in a folder with blanks", {Stored::Text, program}, nothing, program},
        {"PATH refers to the environment",
         {Stored::Expandable, "%AMPERO_TEST_PROGRAMS%\\System Info.exe"},
         nothing,
         program},
        {"MSINFO names a folder holding MSINFO32.EXE", nothing, tools, toolsFolder + msinfoProgram},
        {"MSINFO names a folder without it", nothing, {Stored::Text, emptyFolder}, ""},
        {"MSINFO32.EXE is hidden", nothing, {Stored::Text, hiddenFolder}, ""},
        {"MSINFO32.EXE is a system file", nothing, {Stored::Text, systemFolder}, ""},
        {"MSINFO32.EXE is a folder", nothing, {Stored::Text, folderFolder}, ""},
        {"MSINFO names a folder that does not exist",
         nothing,
         {Stored::Text, programs + "\\No Such Folder"},
         ""},
        {"MSINFO names a file, not a folder", nothing, {Stored::Text, program}, ""},
        {"MSINFO names an invalid path", nothing, {Stored::Text, programs + "\\a|b"}, ""},
        {"neither value exists", nothing, nothing, ""},
        {"PATH names a folder", {Stored::Text, programs}, nothing, ""},
        {"PATH names a missing file: MSINFO is not tried",
         {Stored::Text, programs + "\\Missing.exe"},
         tools,
         ""},
        {"PATH holds no data: MSINFO is not tried", {Stored::NoData, ""}, tools, ""},
        {"PATH is binary: MSINFO is tried",
         {Stored::Binary, "\x01\x02"},
         tools,
         toolsFolder + msinfoProgram},
        {"PATH is longer than the buffer: MSINFO is tried",
         {Stored::TooLong, ""},
         tools,
         toolsFolder + msinfoProgram},
    };
    for (const Case &c : cases) {
        CAPTURE(c.description);
        for (const std::string &probe : probes)
            DeleteFileA(markerOf(probe).c_str());
        store(msinfoKey, msinfoPathValue, c.path);
        store(sharedToolsLocationKey, msinfoFolderValue, c.folder);

        std::vector<std::string> messages;
        StartSysInfo(hostRegistry(), hostFileSearch(), hostLauncher(),
                     [&messages](const std::string &text) { messages.push_back(text); });

        if (c.expectedProgram.empty()) {
            CHECK(messages == std::vector<std::string>{systemInformationUnavailable});
        } else {
            CHECK(messages.empty());
            const std::string marker = markerOf(c.expectedProgram);
            const bool started = waitUntil([&marker] { return fileExists(marker); }, 10000);
            CHECK(started);
            // The program is started by its path alone, quoted as argument 0, in its folder.
            const std::string folder = c.expectedProgram.substr(0, c.expectedProgram.rfind('\\'));
            if (started)
                CHECK(readFile(marker) == '"' + c.expectedProgram + "\" in " + folder);
        }
        // Give any program started by mistake time to show itself.
        Sleep(300);
        for (const std::string &probe : probes) {
            CAPTURE(probe);
            CHECK(fileExists(markerOf(probe)) == (probe == c.expectedProgram));
        }
    }

    deleteValue(msinfoKey, msinfoPathValue);
    removeKeyTree(sharedToolsLocationKey);
}

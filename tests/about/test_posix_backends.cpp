#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "environment.h"
#include "error_of.h"
#include "file_search.h"
#include "launcher.h"
#include "run_error.h"
#include "stand_in_registry.h"
#include "system_information.h"

#include <chrono>
#include <cstdlib>
#include <doctest/doctest.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace ampero;
using namespace ampero::sysinfo;
namespace fs = std::filesystem;

using ampero::testing::errorOf;

namespace {

// A folder of its own for each test, removed afterwards.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "ampero-about-XXXXXX").string();
        REQUIRE(mkdtemp(pattern.data()));
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::permissions(path_ / "locked", fs::perms::owner_all, ignored);
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    std::string operator/(const std::string &name) const { return (path_ / name).string(); }

    void write(const std::string &name, const std::string &content,
               fs::perms permissions = fs::perms::owner_read | fs::perms::owner_write) const
    {
        fs::create_directories((path_ / name).parent_path());
        std::ofstream(path_ / name) << content;
        fs::permissions(path_ / name, permissions);
    }
    void writeProgram(const std::string &name, const std::string &script) const
    {
        write(name, "#!/bin/sh\n" + script + "\n", fs::perms::owner_all);
    }

private:
    fs::path path_;
};

std::string contentOf(const std::string &path)
{
    std::ifstream file(path);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

// Waits, within a generous time, for a started program to leave a complete line in a file.
std::string waitForLine(const std::string &path)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string content = contentOf(path);
        if (content.ends_with('\n'))
            return content;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

} // namespace

TEST_CASE("The file search finds normal files only")
{
    const ScratchFolder scratch;
    scratch.write("MSInfo/MSINFO32.EXE", "program");
    scratch.write("MSInfo/.hidden", "program");
    fs::create_directories(scratch / "MSInfo/Folder");
    fs::create_symlink(scratch / "MSInfo/MSINFO32.EXE", scratch / "MSInfo/link.exe");
    REQUIRE(mkfifo((scratch / "MSInfo/pipe").c_str(), 0600) == 0);
    fs::create_symlink(scratch / "loop", scratch / "loop");

    struct Case
    {
        const char *name;
        std::string path;
        std::string found;
        int error;
    };
    const Case cases[] = {
        {"a normal file", scratch / "MSInfo/MSINFO32.EXE", "MSINFO32.EXE", 0},
        {"backslashes separate folders", scratch / "MSInfo\\MSINFO32.EXE", "MSINFO32.EXE", 0},
        {"a link to a normal file", scratch / "MSInfo/link.exe", "link.exe", 0},
        {"a hidden file", scratch / "MSInfo/.hidden", "", 0},
        {"a folder", scratch / "MSInfo/Folder", "", 0},
        {"a pipe", scratch / "MSInfo/pipe", "", 0},
        {"a missing file", scratch / "MSInfo/missing.exe", "", 0},
        {"in a missing folder", scratch / "Missing\\MSINFO32.EXE", "", 0},
        {"under a file", scratch / "MSInfo/MSINFO32.EXE/x", "", 0},
        {"names differ in case", scratch / "MSInfo/msinfo32.exe", "", 0},
        {"an empty path", "", "", 52},
        {"a path with a NUL", scratch / std::string("MSInfo\0x", 8), "", 52},
        {"a name too long", scratch / std::string(300, 'n'), "", 52},
        {"a loop of links", scratch / "loop/MSINFO32.EXE", "", 75},
    };
    for (const Case &c : cases) {
        INFO(c.name);
        std::string found = "not searched";
        CHECK(errorOf([&] { found = hostFileSearch().findNormalFile(c.path); }) == c.error);
        if (c.error == 0)
            CHECK(found == c.found);
    }
}

TEST_CASE("The file search raises for a folder it may not search")
{
    if (geteuid() == 0)
        return; // permissions don't stop the superuser
    const ScratchFolder scratch;
    scratch.write("locked/MSINFO32.EXE", "program");
    fs::permissions(scratch / "locked", fs::perms::none);
    CHECK(errorOf([&] { hostFileSearch().findNormalFile(scratch / "locked/MSINFO32.EXE"); }) == 75);
}

TEST_CASE("The launcher starts exactly the program it is given")
{
    const ScratchFolder scratch;
    const std::string log = scratch / "started.log";
    // Each program writes its name, its argument count, its folder and its process id; and
    // first "leaked" if it holds the descriptor opened here.
    const int ampero = open("/dev/null", O_RDONLY);
    const std::string report = "test -e /dev/fd/" + std::to_string(ampero) +
                               " && echo leaked >> '" + log +
                               "'\necho \"$0 $# $(pwd -P) $$\" >> '" + log + "'";
    scratch.writeProgram("My Programs/System Info", report);
    scratch.writeProgram("My", "echo planted >> '" + log + "'");

    SUBCASE("a path with blanks is not split at them")
    {
        hostLauncher().startProgram(scratch / "My Programs/System Info");
    }
    SUBCASE("backslashes separate folders")
    {
        hostLauncher().startProgram(scratch / "My Programs\\System Info");
    }
    std::string line = waitForLine(log);
    REQUIRE(line.ends_with('\n'));
    line.pop_back();
    const std::string processId = line.substr(line.rfind(' ') + 1);
    close(ampero);
    CHECK(line == scratch / "My Programs/System Info" + " 0 " +
                      fs::canonical(scratch / "My Programs").string() + " " + processId);

    // Once it has ended it is reaped: no zombie is left behind.
    const std::string process = "/proc/" + processId;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (fs::exists(process) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    CHECK_FALSE(fs::exists(process));
    CHECK(contentOf(log).find("planted") == std::string::npos);
}

TEST_CASE("The launcher raises for what it can't start, and never asks a shell")
{
    const ScratchFolder scratch;
    scratch.write("commands", "touch '" + (scratch / "shell-ran") + "'\n", fs::perms::owner_all);
    scratch.write("document.txt", "text");
    fs::create_directories(scratch / "folder");
    struct Case
    {
        const char *name;
        std::string path;
        int error;
    };
    const Case cases[] = {
        {"a missing program", scratch / "missing", 53},
        {"in a missing folder", scratch / "missing/program", 53},
        {"an empty path", "", 5},
        {"a path with a NUL", scratch / std::string("folder\0x", 8), 5},
        {"a file that may not be run", scratch / "document.txt", 5},
        {"a folder", scratch / "folder", 5},
        {"shell commands without an interpreter line", scratch / "commands", 5},
    };
    for (const Case &c : cases) {
        INFO(c.name);
        CHECK(errorOf([&] { hostLauncher().startProgram(c.path); }) == c.error);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    CHECK_FALSE(fs::exists(scratch / "shell-ran"));
}

TEST_CASE("Environment references expand as Windows expands them")
{
    setenv("AMPERO_TEST_A", "alpha", 1);
    setenv("AMPERO_TEST_B", "beta", 1);
    setenv("AMPERO_TEST_EQ", "x=shadow", 1);
    unsetenv("AMPERO_TEST_UNSET");
    struct Case
    {
        const char *text;
        const char *expanded;
    };
    const Case cases[] = {
        {"%AMPERO_TEST_A%\\info.exe", "alpha\\info.exe"},
        {"%AMPERO_TEST_A%%AMPERO_TEST_B%", "alphabeta"},
        {"no references", "no references"},
        {"%AMPERO_TEST_UNSET%\\x", "%AMPERO_TEST_UNSET%\\x"},
        {"%AMPERO_TEST_UNSET%AMPERO_TEST_A%", "%AMPERO_TEST_UNSET%AMPERO_TEST_A%"},
        {"100% of %AMPERO_TEST_B%", "100% of %AMPERO_TEST_B%"},
        {"%%", "%%"},
        {"%AMPERO_TEST_A", "%AMPERO_TEST_A"},
        {"%AMPERO_TEST_EQ=x%", "%AMPERO_TEST_EQ=x%"},
        {"", ""},
    };
    for (const Case &c : cases) {
        INFO(c.text);
        CHECK(expandEnvironmentStrings(c.text) == c.expanded);
    }
}

TEST_CASE("The stand-in hive names the first system information program on the search path")
{
    const ScratchFolder scratch;
    scratch.writeProgram("first/kinfocenter", "true");
    scratch.writeProgram("second/hardinfo", "true");
    scratch.write("first/hardinfo2", "not a program");
    fs::create_directories(scratch / "first/lshw-gtk");
    scratch.writeProgram("relative/hardinfo2", "true");
    REQUIRE(chdir((scratch / "").c_str()) == 0);

    struct Case
    {
        const char *name;
        std::string searchPath;
        std::string program; // "" when none is found
    };
    const Case cases[] = {
        {"preference before folder order", scratch / "first" + ":" + scratch / "second",
         scratch / "second/hardinfo"},
        {"a folder with a trailing slash", scratch / "first/", scratch / "first/kinfocenter"},
        {"relative folders are passed over", ".::relative:" + scratch / "first",
         scratch / "first/kinfocenter"},
        {"none found", scratch / "relative/missing" + ":/nonexistent", ""},
        {"an empty search path", "", ""},
    };
    for (const Case &c : cases) {
        INFO(c.name);
        MemoryRegistry hive = standInRegistry(c.searchPath);
        std::string path;
        CHECK(GetKeyValue(hive, hkeyLocalMachine, msinfoKey, msinfoPathValue, path) ==
              !c.program.empty());
        CHECK(path == c.program);
        // Nothing else is made up.
        CHECK_FALSE(
            GetKeyValue(hive, hkeyLocalMachine, sharedToolsLocationKey, msinfoFolderValue, path));
    }
    REQUIRE(chdir("/") == 0);
}
